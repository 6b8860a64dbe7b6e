#include "checker/Calendar.h"

#include <cstdio>

#include "platform/Clock.h"
#include "platform/Win32Conventions.h"

namespace pendulon {

LocalMinute MinuteOf(const SystemTime& t) {
  return {t.year, t.month, t.day, t.hour, t.minute};
}

SystemTime ClockAt(const LocalMinute& m) {
  SystemTime t;
  t.year = static_cast<std::uint16_t>(m.year);
  t.month = static_cast<std::uint16_t>(m.month);
  t.day = static_cast<std::uint16_t>(m.day);
  t.hour = static_cast<std::uint16_t>(m.hour);
  t.minute = static_cast<std::uint16_t>(m.minute);
  t.dayOfWeek = static_cast<std::uint16_t>(WeekdayOf(m) - 1);
  return t;
}

int WeekdayOf(int year, int month, int day) {
  const std::int64_t days =
      DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) +
      kDaysFrom1899To1970;
  return WeekdayNumber(static_cast<TDateTime>(days));
}

int WeekdayOf(const LocalMinute& m) {
  return WeekdayOf(m.year, m.month, m.day);
}

int DaysIn(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

void NextDay(int& year, int& month, int& day) {
  if (++day <= DaysIn(year, month))
    return;
  day = 1;
  if (++month <= 12)
    return;
  month = 1;
  ++year;
}

const char* WeekdayName(int weekday) {
  static const char* const kNames[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                       "Thursday", "Friday", "Saturday"};
  return kNames[weekday - 1];
}

const char* MonthName(int month) {
  static const char* const kNames[] = {"January",   "February", "March",    "April",
                                       "May",       "June",     "July",     "August",
                                       "September", "October",  "November", "December"};
  return kNames[month - 1];
}

std::string IsoText(const LocalMinute& m) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d", m.year, m.month, m.day, m.hour,
                m.minute);
  return text;
}

std::string ReadableText(const LocalMinute& m) {
  char text[40];
  std::snprintf(text, sizeof text, "%.3s %04d-%02d-%02d %02d:%02d", WeekdayName(WeekdayOf(m)),
                m.year, m.month, m.day, m.hour, m.minute);
  return text;
}

}  // namespace pendulon
