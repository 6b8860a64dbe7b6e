#pragma once
// The proleptic Gregorian calendar, counted in days: the date type's days since 1899-12-30, days
// since 1970-01-01 and back, and the day of the week.

#include <cstdint>

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

}  // namespace pendulon
