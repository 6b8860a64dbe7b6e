#include "checker/Calendar.h"

#include <cstdio>

#include "platform/Clock.h"
#include "platform/Win32Conventions.h"

namespace pendulon {

LocalMinute MinuteOf(const SystemTime& t) {
  return {t.year, t.month, t.day, t.hour, t.minute};
}

SystemTime ClockAt(const LocalMinute& m) {
  const auto word = [](int value) { return static_cast<std::uint16_t>(value); };
  SystemTime t;
  t.year = word(m.year);
  t.month = word(m.month);
  t.day = word(m.day);
  t.hour = word(m.hour);
  t.minute = word(m.minute);
  t.dayOfWeek = word(WeekdayOf(m.year, m.month, m.day) - 1);
  return t;
}

int WeekdayOf(int year, int month, int day) {
  constexpr std::int64_t kDaysFrom1899To1970 = 25569;
  const std::int64_t days =
      DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day));
  return WeekdayNumber(static_cast<TDateTime>(days + kDaysFrom1899To1970));
}

int DaysIn(int year, int month) {
  const unsigned m = static_cast<unsigned>(month);
  return static_cast<int>(DaysFromCivil(month == 12 ? year + 1 : year, m % 12 + 1, 1) -
                          DaysFromCivil(year, m, 1));
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
  std::snprintf(text, sizeof text, "%.3s %04d-%02d-%02d %02d:%02d",
                WeekdayName(WeekdayOf(m.year, m.month, m.day)), m.year, m.month, m.day, m.hour,
                m.minute);
  return text;
}

}  // namespace pendulon
