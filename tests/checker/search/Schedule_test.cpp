#include "checker/search/Schedule.h"

#include <gtest/gtest.h>

namespace pendulon {
namespace {

constexpr int _ = Schedule::kAny;

Schedule S(int minute, int hour, int day, int month, int weekday) {
  Schedule s;
  s.value = {minute, hour, day, month, weekday};
  return s;
}

TEST(Schedule, IntersectionIsEmptyForDifferentValuesOrImpossibleDates) {
  EXPECT_EQ(Intersect(S(7, _, _, _, _), S(_, 12, _, _, 2)), S(7, 12, _, _, 2));
  EXPECT_FALSE(Intersect(S(7, _, _, _, _), S(8, _, _, _, _)));
  EXPECT_FALSE(Intersect(S(_, _, 31, _, _), S(_, _, _, 6, _)));
  EXPECT_TRUE(Intersect(S(_, _, 29, _, _), S(_, _, _, 2, _)));
}

TEST(ScheduleWords, SaysWhenInWords) {
  struct Case {
    Schedule schedule;
    const char* words;
  } cases[] = {
      {S(_, _, _, _, _), "every minute"},
      {S(5, _, _, _, _), "at minute 5 of every hour"},
      {S(_, 8, _, _, _), "every minute from 8:00 to 8:59"},
      {S(30, 8, _, _, _), "at 8:30 every day"},
      {S(30, 8, _, _, 2), "at 8:30 on Mondays"},
      {S(0, 0, 1, 1, _), "at 0:00 on 1 January"},
      {S(5, 23, _, 12, _), "at 23:05 in December"},
      {S(5, 23, _, 12, 1), "at 23:05 on Sundays in December"},
      {S(0, 12, 13, _, 6), "at 12:00 on day 13 of every month when it is a Friday"},
      {S(0, 0, 29, 2, _), "at 0:00 on 29 February (leap years only)"},
      {S(0, 0, 29, 2, 7), "at 0:00 on 29 February (leap years only) when it is a Saturday"},
      {S(0, 0, 31, _, _), "at 0:00 on day 31 of every month (only in months with 31 days)"},
      {S(_, _, 30, _, _), "every minute on day 30 of every month (not in February)"},
  };
  for (const Case& c : cases) EXPECT_EQ(DescribeSchedule(c.schedule), c.words);
}

}  // namespace
}  // namespace pendulon
