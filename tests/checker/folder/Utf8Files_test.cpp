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

}  // namespace
}  // namespace pendulon
