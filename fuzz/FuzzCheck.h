#pragma once
// What the fuzz targets share: a property check that ends the run like a crash, the ANSI code
// pages to try every input under, and small helpers that judge results without the readers.

#include <array>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string_view>
#include <vector>

namespace pendulon::fuzz {

[[noreturn]] inline void PropertyBroken(const char* what, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: property broken: %s\n", file, line, what);
  std::abort();  // libFuzzer keeps the input that did it, as for a crash
}

#define FUZZ_REQUIRE(condition) \
  ((condition) ? (void)0 : ::pendulon::fuzz::PropertyBroken(#condition, __FILE__, __LINE__))

// An ANSI code page as far as the readers care: which bytes lead a double-byte character.
struct CodePage {
  std::set<unsigned char> leadBytes;  // as SimWorld takes them
  std::array<bool, 256> lead{};       // the same, for quick checks here
  bool IsLead(char c) const { return lead[static_cast<unsigned char>(c)]; }
};

// No lead bytes (a single-byte code page), Shift-JIS (932), and the wide range of 936/949/950.
// Every real double-byte code page keeps its lead bytes above 0x80.
inline const std::vector<CodePage>& CodePages() {
  static const std::vector<CodePage> pages = [] {
    CodePage single, shiftJis, wide;
    for (int b = 0x81; b <= 0xFE; ++b) {
      const auto byte = static_cast<unsigned char>(b);
      wide.leadBytes.insert(byte);
      wide.lead[byte] = true;
      if (b <= 0x9F || (b >= 0xE0 && b <= 0xFC)) {
        shiftJis.leadBytes.insert(byte);
        shiftJis.lead[byte] = true;
      }
    }
    return std::vector<CodePage>{single, shiftJis, wide};
  }();
  return pages;
}

// Where each character of s begins (one flag per offset, and one for the end), walked here
// rather than through CharNext so that a fault there cannot hide itself.
inline std::vector<bool> CharStarts(std::string_view s, const CodePage& page) {
  std::vector<bool> starts(s.size() + 1, false);
  std::size_t i = 0;
  while (i < s.size()) {
    starts[i] = true;
    i += page.IsLead(s[i]) && i + 1 < s.size() && s[i + 1] != '\0' ? 2 : 1;
  }
  starts[s.size()] = true;
  return starts;
}

inline bool HasLeadByte(std::string_view s, const CodePage& page) {
  for (const char c : s) {
    if (page.IsLead(c))
      return true;
  }
  return false;
}

// True when every byte of part occurs in whole, in the same order.
inline bool IsSubsequence(std::string_view part, std::string_view whole) {
  std::size_t at = 0;
  for (const char c : whole) {
    if (at < part.size() && part[at] == c)
      ++at;
  }
  return at == part.size();
}

inline bool IsSuffix(std::string_view part, std::string_view whole) {
  return part.size() <= whole.size() && whole.substr(whole.size() - part.size()) == part;
}

inline bool IsPrefix(std::string_view part, std::string_view whole) {
  return part.size() <= whole.size() && whole.substr(0, part.size()) == part;
}

// The text as the program sees it: everything before the first NUL.
inline std::string_view UpToNul(std::string_view s) {
  return s.substr(0, s.find('\0'));
}

}  // namespace pendulon::fuzz
