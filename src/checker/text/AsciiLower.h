#pragma once
// Text with its ASCII capitals made small and every other byte kept: how qefcheck finds names
// that differ only in case, which the executer's exact comparisons keep apart.

#include <string>
#include <string_view>

namespace pendulon {

inline std::string AsciiLower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

}  // namespace pendulon
