#include "platform/Clock.h"

#include "support/SimFixture.h"

namespace pendulon::sim {
namespace {

using ClockTest = SimTest;

TEST_F(ClockTest, ClockTextGivesEachFieldWithoutLeadingZerosExceptSs) {
  struct Case {
    int month, day, hour, minute, second;
    const char* n;
    const char* h;
    const char* d;
    const char* m;
    const char* s;
    const char* ss;
  } cases[] = {
      {4, 3, 9, 5, 7, "5", "9", "3", "4", "7", "07"},
      {12, 31, 0, 0, 0, "0", "0", "31", "12", "0", "00"},
      {12, 31, 23, 59, 59, "59", "23", "31", "12", "59", "59"},
      {1, 1, 13, 10, 30, "10", "13", "1", "1", "30", "30"},
  };
  for (const Case& c : cases) {
    world.SetLocalTime(2026, c.month, c.day, c.hour, c.minute, c.second, 999);
    EXPECT_EQ(ClockText(platform, "n"), c.n);
    EXPECT_EQ(ClockText(platform, "h"), c.h);
    EXPECT_EQ(ClockText(platform, "d"), c.d);
    EXPECT_EQ(ClockText(platform, "m"), c.m);
    EXPECT_EQ(ClockText(platform, "s"), c.s);
    EXPECT_EQ(ClockText(platform, "ss"), c.ss);
  }
  EXPECT_EQ(ClockText(platform, "x"), "");
}

TEST_F(ClockTest, ClockTextReadsTheClockAtEveryCall) {
  world.SetLocalTime(2026, 1, 1, 10, 0, 58, 900);
  EXPECT_EQ(ClockText(platform, "ss"), "58");
  world.AdvanceBy(1200);
  EXPECT_EQ(ClockText(platform, "ss"), "00");
  EXPECT_EQ(ClockText(platform, "n"), "1");
}

TEST(DecimalText, WritesPlainDigits) {
  EXPECT_EQ(DecimalText(0), "0");
  EXPECT_EQ(DecimalText(7), "7");
  EXPECT_EQ(DecimalText(-12), "-12");
}

}  // namespace
}  // namespace pendulon::sim
