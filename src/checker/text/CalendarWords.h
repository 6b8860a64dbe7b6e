#pragma once
// The calendar in a reader's words: the names of weekdays and months, and a minute with its
// weekday ("Mon 2026-03-02 08:30").

#include <string>

#include "platform/Calendar.h"

namespace pendulon {

const char* WeekdayName(int weekday);  // "Sunday" for 1 ... "Saturday" for 7
const char* MonthName(int month);      // "January" for 1
// "Mon 2026-03-02 08:30", with the weekday the executer's walk reads on that date.
std::string ReadableText(const LocalMinute& minute);
// The local minute after (before) this one, by the calendar alone.
LocalMinute MinuteAfter(const LocalMinute& minute);
LocalMinute MinuteBefore(const LocalMinute& minute);
// "UTC+01:00", "UTC-03:30", "UTC+00:00": a zone's offset from UTC in minutes.
std::string UtcOffsetText(int minutes);

}  // namespace pendulon
