#include "checker/Schedule.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "checker/ScheduleWords.h"

namespace pendulon {
namespace {

constexpr int _ = Schedule::kAny;

Schedule S(int minute, int hour, int day, int month, int weekday) {
  Schedule s;
  s.value = {minute, hour, day, month, weekday};
  return s;
}

std::vector<Schedule> Each(int field, int low, int high, int skip = -1) {
  std::vector<Schedule> parts;
  for (int v = low; v <= high; ++v) {
    if (v == skip)
      continue;
    Schedule s;
    s[field] = v;
    parts.push_back(s);
  }
  return parts;
}

TEST(Schedule, CoversOnlyWhenEveryMinuteThatCanOccurIsInAPart) {
  struct Case {
    const char* what;
    std::vector<Schedule> parts;
    Schedule whole;
    bool covered;
  } cases[] = {
      {"no parts", {}, S(_, _, _, _, _), false},
      {"the same box", {S(7, _, _, _, _)}, S(7, _, _, _, _), true},
      {"a wider box", {S(7, _, _, _, _)}, S(7, 12, _, _, 2), true},
      {"a narrower box", {S(7, 12, _, _, _)}, S(7, _, _, _, _), false},
      {"another minute", {S(7, _, _, _, _)}, S(8, _, _, _, _), false},
      {"every month", Each(3, 1, 12), S(_, _, _, _, _), true},
      {"every month but June", Each(3, 1, 12, 6), S(_, _, _, _, _), false},
      {"every weekday", Each(4, 1, 7), S(0, 0, 1, 1, _), true},
      {"every minute of the hour", Each(0, 0, 59), S(_, 5, _, _, _), true},
      {"days 1 to 29 in February", Each(2, 1, 29), S(_, _, _, 2, _), true},
      {"days 1 to 28 in February", Each(2, 1, 28), S(_, _, _, 2, _), false},
      {"days 1 to 30 in April", Each(2, 1, 30), S(_, _, _, 4, _), true},
      {"days 1 to 30 in any month", Each(2, 1, 30), S(_, _, _, _, _), false},
      {"a date that never occurs", {}, S(0, 0, 31, 4, _), true},
      {"mixed fields",
       {S(_, _, _, _, 1), S(_, _, _, _, 2), S(_, _, _, _, 3), S(_, _, _, _, 4), S(_, _, _, _, 5),
        S(_, _, _, _, 6), S(_, 12, _, _, 7)},
       S(_, 12, _, _, _),
       true},
      {"mixed fields, one hour short",
       {S(_, _, _, _, 1), S(_, _, _, _, 2), S(_, _, _, _, 3), S(_, _, _, _, 4), S(_, _, _, _, 5),
        S(_, _, _, _, 6), S(_, 12, _, _, 7)},
       S(_, _, _, _, _),
       false},
  };
  for (const Case& c : cases) EXPECT_EQ(Covers(c.parts, c.whole), c.covered) << c.what;
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
