#include "platform/Calendar.h"

#include <gtest/gtest.h>

namespace pendulon {
namespace {

SystemTime At(int year, int month, int day, int hour) {
  SystemTime t;
  t.year = static_cast<std::uint16_t>(year);
  t.month = static_cast<std::uint16_t>(month);
  t.day = static_cast<std::uint16_t>(day);
  t.hour = static_cast<std::uint16_t>(hour);
  return t;
}

// Dates the program counts from or up to: the date type's day 0 (1899-12-30), FILETIME's first
// day (1601-01-01), 1970-01-01, the first and last days of DOS dates (1980-01-01, 2107-12-31),
// and the leap days of a year divisible by 400 and of one divisible by 4, beside the years
// divisible by 100 that have none.
TEST(Calendar, CountsDaysBothWaysOnTheDatesTheProgramReliesOn) {
  struct Case {
    int year, month, day;
    std::int64_t since1970;  // days since 1970-01-01
    double dateType;         // days since 1899-12-30, at noon
  } cases[] = {
      {1601, 1, 1, -134774, -109204.5}, {1899, 12, 30, -25569, 0.5},
      {1899, 12, 31, -25568, 1.5},      {1900, 2, 28, -25509, 60.5},
      {1900, 3, 1, -25508, 61.5},       {1969, 12, 31, -1, 25568.5},
      {1970, 1, 1, 0, 25569.5},         {1980, 1, 1, 3652, 29221.5},
      {2000, 2, 29, 11016, 36585.5},    {2000, 3, 1, 11017, 36586.5},
      {2024, 2, 29, 19782, 45351.5},    {2100, 2, 28, 47540, 73109.5},
      {2100, 3, 1, 47541, 73110.5},     {2107, 12, 31, 50402, 75971.5},
      {2108, 1, 1, 50403, 75972.5},
  };
  for (const Case& c : cases) {
    const auto month = static_cast<unsigned>(c.month), day = static_cast<unsigned>(c.day);
    EXPECT_EQ(DaysFromCivil(c.year, month, day), c.since1970) << c.year << "-" << c.month;
    const CivilDate date = CivilFromDays(c.since1970);
    EXPECT_EQ(date.year, c.year) << c.since1970;
    EXPECT_EQ(date.month, month) << c.since1970;
    EXPECT_EQ(date.day, day) << c.since1970;
    EXPECT_EQ(EncodeDateTime(At(c.year, c.month, c.day, 12)), c.dateType) << c.since1970;
  }
}

TEST(WeekdayNumber, CountsFromSundayAsOne) {
  struct Case {
    int year, month, day, expected;
  } cases[] = {
      {1899, 12, 30, 7}, {1899, 12, 31, 1}, {2000, 1, 1, 7},
      {2000, 1, 3, 2},   {2026, 12, 8, 3},  {2024, 2, 29, 5},
  };
  for (const Case& c : cases) {
    SystemTime t;
    t.year = static_cast<std::uint16_t>(c.year);
    t.month = static_cast<std::uint16_t>(c.month);
    t.day = static_cast<std::uint16_t>(c.day);
    t.hour = 23;
    t.minute = 59;
    EXPECT_EQ(WeekdayNumber(EncodeDateTime(t)), c.expected)
        << c.year << "-" << c.month << "-" << c.day;
  }
}

}  // namespace
}  // namespace pendulon
