#include "checker/text/CalendarWords.h"

#include <cstdio>

namespace pendulon {

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

std::string ReadableText(const LocalMinute& m) {
  const int weekday = WeekdayOfDay(
      DaysFromCivil(m.year, static_cast<unsigned>(m.month), static_cast<unsigned>(m.day)));
  char text[48];
  std::snprintf(text, sizeof text, "%.3s %04d-%02d-%02d %02d:%02d", WeekdayName(weekday),
                m.year % 10000, m.month % 100, m.day % 100, m.hour % 100, m.minute % 100);
  return text;
}

std::string UtcOffsetText(int minutes) {
  const int size = minutes < 0 ? -minutes : minutes;
  char text[16];
  std::snprintf(text, sizeof text, "UTC%c%02d:%02d", minutes < 0 ? '-' : '+', size / 60 % 100,
                size % 60);
  return text;
}

namespace {

LocalMinute MinutesOn(const LocalMinute& minute, int step) {
  const std::int64_t number = (DaysFromCivil(minute.year, static_cast<unsigned>(minute.month),
                                             static_cast<unsigned>(minute.day)) *
                                   24 +
                               minute.hour) *
                                  60 +
                              minute.minute + step;
  const std::int64_t day = FloorDiv(number, 24 * 60);
  const CivilDate date = CivilFromDays(day);
  const auto inDay = static_cast<int>(number - day * 24 * 60);
  return {static_cast<int>(date.year), static_cast<int>(date.month), static_cast<int>(date.day),
          inDay / 60, inDay % 60};
}

}  // namespace

LocalMinute MinuteAfter(const LocalMinute& minute) {
  return MinutesOn(minute, 1);
}

LocalMinute MinuteBefore(const LocalMinute& minute) {
  return MinutesOn(minute, -1);
}

}  // namespace pendulon
