#pragma once
// The proleptic Gregorian calendar, counted in days: the date type's days since 1899-12-30, days
// since 1970-01-01 and back, the day of the week, the days of a month, and the minutes of the local
// clock with their text.

#include <cstdint>
#include <string>

#include "platform/SystemTime.h"

namespace pendulon {

// Days since 1899-12-30 plus the fraction of the day.
using TDateTime = double;

TDateTime EncodeDateTime(const SystemTime& time);

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar, for the years -32767 to
// 32767 that std::chrono's calendar holds.
std::int64_t DaysFromCivil(std::int64_t year, unsigned month, unsigned day);

struct CivilDate {
  std::int64_t year = 0;
  unsigned month = 0, day = 0;
};

// The date that lies the given number of days after 1970-01-01 (before it when negative), within
// the same years.
CivilDate CivilFromDays(std::int64_t days);

// 1 Sunday ... 7 Saturday, from the whole days of the value.
int WeekdayNumber(TDateTime when);
// 1 Sunday ... 7 Saturday, of the day that many days after 1970-01-01.
int WeekdayOfDay(std::int64_t daysSince1970);

// The days of that month in that year; and the most it has in any year (29 for February).
int DaysInMonth(std::int64_t year, int month);
int MostDaysIn(int month);

// a / b rounded down, so that counts before 1970 fall in the right day or minute.
constexpr std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

// A minute of the local clock.
struct LocalMinute {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0;

  auto operator<=>(const LocalMinute&) const = default;
};

// The minute of a clock reading, seconds dropped; and the reading at second 00 of a minute.
LocalMinute MinuteOf(const SystemTime& time);
SystemTime TimeOf(const LocalMinute& minute);

// "2026-03-02T08:30", as the run log and qefcheck's JSON write a minute.
std::string MinuteText(const LocalMinute& minute);
std::string MinuteText(const SystemTime& time);

}  // namespace pendulon
