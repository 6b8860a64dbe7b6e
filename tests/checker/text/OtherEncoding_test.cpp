#include "checker/text/OtherEncoding.h"

#include <gtest/gtest.h>

namespace pendulon {
namespace {

// The same letters in both encodings, and names that have no twin: ASCII alone, letters outside
// U+00A0 to U+00FF, bytes that are no UTF-8.
TEST(OtherEncoding, GivesTheSameLettersInTheOtherEncodingOrNothing) {
  const struct Case {
    const char* utf8;
    const char* ansi;  // nullptr: no twin
  } cases[] = {
      {"Pr\xC3\xBC"
       "fung",
       "Pr\xFC"
       "fung"},
      {"\xC3\x9C"
       "bersicht \xC3\xA9t\xC3\xA9",
       "\xDC"
       "bersicht \xE9t\xE9"},
      {"\xC2\xA0", "\xA0"},
      {"Backup", nullptr},        // ASCII: the same bytes either way
      {"\xE2\x82\xAC", nullptr},  // the euro sign: past U+00FF
      {"\xC2\x80", nullptr},      // U+0080: below U+00A0
      {"Pr\xC3", nullptr},        // cut short
      {"\xC3\x28", nullptr},      // no continuation byte
  };
  for (const Case& c : cases) {
    const std::optional<std::string> ansi = AnsiOfUtf8(c.utf8);
    if (c.ansi == nullptr) {
      EXPECT_FALSE(ansi) << c.utf8;
      continue;
    }
    ASSERT_TRUE(ansi) << c.utf8;
    EXPECT_EQ(*ansi, c.ansi);
    EXPECT_EQ(Utf8OfAnsi(c.ansi), std::optional<std::string>(c.utf8));
  }
  EXPECT_FALSE(Utf8OfAnsi("\x80uro"));  // Windows-1252's euro: no Latin-1 letter
  EXPECT_FALSE(Utf8OfAnsi("Backup"));
}

}  // namespace
}  // namespace pendulon
