#include "platform/Text.h"

#include "support/SimFixture.h"

namespace pendulon::sim {
namespace {

using TextTest = SimTest;

TEST_F(TextTest, TextPosFindsFirstWholeCharacterOccurrence) {
  struct Case {
    const char* sub;
    const char* s;
    int expected;
  } cases[] = {
      {"=", "a=b=c", 2}, {"=", "abc", 0},  {"=", "=x", 1},  {"", "abc", 0},
      {"=", "", 0},      {"b=", "ab=", 2}, {"A", "abc", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TextPos(platform, c.sub, c.s), c.expected) << c.sub << " in " << c.s;
  }
}

TEST_F(TextTest, TextPosPassesOverAHitOnATrailByte) {
  world.leadBytes = {0x81};
  // 0x81 '=' is one double-byte character; the real "=" comes after it.
  EXPECT_EQ(TextPos(platform, "=", "\x81=a=b"), 4);
  EXPECT_EQ(TextPos(platform, "=", "\x81="), 0);
  world.leadBytes.clear();
  EXPECT_EQ(TextPos(platform, "=", "\x81=a=b"), 2);
}

TEST_F(TextTest, DirectoryOfDropsTheLastSeparatorUnlessItFollowsAColonOrSeparator) {
  struct Case {
    const char* path;
    const char* expected;
  } cases[] = {
      {"C:\\Apps\\x.exe", "C:\\Apps"},
      {"C:\\x.exe", "C:\\"},
      {"C:x.exe", "C:"},
      {"\\x.exe", "\\"},
      {"x.exe", ""},
      {"C:\\Apps\\", "C:\\Apps"},
      {"C:\\Apps\\\\x.exe", "C:\\Apps\\\\"},
      {"", ""},
      {"\"C:\\Apps\\v.exe\"", "\"C:\\Apps"},
      {"\\\\server\\share\\x", "\\\\server\\share"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DirectoryOf(platform, c.path), c.expected) << c.path;
  }
}

TEST_F(TextTest, DirectoryOfNeverTakesATrailByteForASeparator) {
  world.leadBytes = {0x95};
  // 0x95 0x5C is one character whose second byte looks like "\".
  EXPECT_EQ(DirectoryOf(platform, "C:\\\x95\\x.exe"), "C:\\");
  EXPECT_EQ(DirectoryOf(platform, "C:\\\x95\\\\x.exe"), "C:\\\x95\\");
}

}  // namespace
}  // namespace pendulon::sim
