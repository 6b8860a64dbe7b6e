#pragma once
// The UTF-8 byte-order mark an editor may put at the start of a file: the executer takes it for
// the first line's first bytes.

#include <string_view>

namespace pendulon {

inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

inline bool BeginsWithByteOrderMark(std::string_view text) {
  return text.substr(0, kByteOrderMark.size()) == kByteOrderMark;
}

}  // namespace pendulon
