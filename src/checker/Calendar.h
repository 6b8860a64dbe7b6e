#pragma once
// Local dates and minutes of the proleptic Gregorian calendar, with the weekday numbered as
// the executer numbers it (1 Sunday ... 7 Saturday).

#include <string>

#include "platform/SystemClock.h"

namespace pendulon {

struct LocalMinute {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0;

  auto operator<=>(const LocalMinute&) const = default;
};

// The minute of a clock reading; seconds are dropped.
LocalMinute MinuteOf(const SystemTime& time);
// The clock reading at second 00 of the minute.
SystemTime ClockAt(const LocalMinute& minute);

// Weekday of a date, by the executer's own day count.
int WeekdayOf(int year, int month, int day);
int DaysIn(int year, int month);
// Moves the date on by one day.
void NextDay(int& year, int& month, int& day);

const char* WeekdayName(int weekday);  // "Sunday" for 1
const char* MonthName(int month);      // "January" for 1

// "2026-03-02T08:30"
std::string IsoText(const LocalMinute& minute);
// "Mon 2026-03-02 08:30"
std::string ReadableText(const LocalMinute& minute);

}  // namespace pendulon
