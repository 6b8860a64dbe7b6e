#pragma once
// The local clock as text, and the day of the week. Every call reads the clock anew.

#include <cstdint>

#include "platform/AnsiString.h"
#include "platform/SystemClock.h"

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

// The current local date and time.
TDateTime Now(SystemClock& clock);

// One field of the current local time in decimal ASCII, independent of regional settings:
// "n" minute, "h" hour (24-hour clock), "d" day, "m" month, "s" second, "ss" second with two
// digits. Any other code gives the empty text.
AnsiString ClockText(SystemClock& clock, const AnsiString& code);

// The same field of one given reading of the clock.
AnsiString ClockText(const SystemTime& time, const AnsiString& code);

// 1 Sunday ... 7 Saturday, from the whole days of the value.
int WeekdayNumber(TDateTime when);

AnsiString DecimalText(std::int32_t value);

}  // namespace pendulon
