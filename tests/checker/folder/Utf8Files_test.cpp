#include "checker/folder/Utf8Files.h"

#include <gtest/gtest.h>

namespace pendulon {
namespace {

// What Notepad writes is well-formed UTF-8; ANSI text almost never is.
TEST(Utf8Files, OnlyWellFormedSequencesCount) {
  struct Case {
    const char* text;
    bool utf8;
  } const cases[] = {
      {"plain ASCII", true},
      {"Pr\xC3\xBC"
       "fung \xE2\x82\xAC \xF0\x9F\x98\x80",
       true},
      {"Pr\xFC"
       "fung",
       false},                      // ANSI
      {"\xC3", false},              // cut short
      {"\xC0\xAF", false},          // an overlong "/"
      {"\xE0\x80\xAF", false},      // the same in three bytes
      {"\xED\xA0\x80", false},      // a surrogate
      {"\xF4\x90\x80\x80", false},  // past U+10FFFF
      {"\xC3\xBC\x80", false},      // a stray continuation byte
  };
  for (const Case& c : cases) EXPECT_EQ(IsUtf8(c.text), c.utf8) << c.text;
}

// Notepad's "Unicode" is told from the file's bytes, with its mark or without, both byte orders;
// what has zero bytes only here and there is not.
TEST(Utf16Files, AreToldByTheirMarkOrByTheZeroBesideEveryLetter) {
  const auto wide = [](const std::string& text, bool bigEndian, bool mark) {
    std::string bytes = mark ? (bigEndian ? "\xFE\xFF" : "\xFF\xFE") : "";
    for (const char c : text) {
      bytes += bigEndian ? std::string{'\0', c} : std::string{c, '\0'};
    }
    return bytes;
  };
  const std::string line = "30 8 * * * Backup\r\n";
  const struct Case {
    const char* name;
    std::string bytes;
    bool utf16;
  } cases[] = {
      {"little endian, marked", wide(line, false, true), true},
      {"big endian, marked", wide(line, true, true), true},
      {"little endian, unmarked", wide(line, false, false), true},
      {"big endian, unmarked", wide(line, true, false), true},
      {"the mark alone", "\xFF\xFE", true},
      {"ANSI", line, false},
      {"UTF-8 with its mark", "\xEF\xBB\xBF" + line, false},
      {"a zero byte in ANSI text", "30 8 * * * Back\0up\r\n", false},
      {"short", std::string("a\0", 2), false},
  };
  for (const Case& c : cases) EXPECT_EQ(!Utf16Hint(c.bytes).empty(), c.utf16) << c.name;
}

}  // namespace
}  // namespace pendulon
