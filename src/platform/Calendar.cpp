#include "platform/Calendar.h"

#include <chrono>
#include <cmath>
#include <cstdio>

#include "platform/Win32Conventions.h"

namespace pendulon {

std::int64_t DaysFromCivil(std::int64_t year, unsigned month, unsigned day) {
  using namespace std::chrono;
  const year_month_day date{std::chrono::year(static_cast<int>(year)), std::chrono::month(month),
                            std::chrono::day(day)};
  return sys_days(date).time_since_epoch().count();
}

CivilDate CivilFromDays(std::int64_t days) {
  using namespace std::chrono;
  const year_month_day date{sys_days(std::chrono::days(days))};
  return {static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
          static_cast<unsigned>(date.day())};
}

TDateTime EncodeDateTime(const SystemTime& t) {
  const double days =
      static_cast<double>(DaysFromCivil(t.year, t.month, t.day) + kDaysFrom1899To1970);
  const double ms = ((t.hour * 60.0 + t.minute) * 60.0 + t.second) * 1000.0 + t.milliseconds;
  return days + ms / 86400000.0;
}

int WeekdayNumber(TDateTime when) {
  return WeekdayOfDay(static_cast<std::int64_t>(std::floor(when)) - kDaysFrom1899To1970);
}

int WeekdayOfDay(std::int64_t daysSince1970) {
  const std::chrono::weekday weekday{std::chrono::sys_days(std::chrono::days(daysSince1970))};
  return static_cast<int>(weekday.c_encoding()) + 1;  // c_encoding: 0 for Sunday
}

int DaysInMonth(std::int64_t year, int month) {
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && !leap ? 28 : MostDaysIn(month);
}

int MostDaysIn(int month) {
  static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return kDays[month - 1];
}

LocalMinute MinuteOf(const SystemTime& t) {
  return {t.year, t.month, t.day, t.hour, t.minute};
}

SystemTime TimeOf(const LocalMinute& m) {
  const auto word = [](int value) { return static_cast<std::uint16_t>(value); };
  return {word(m.year), word(m.month), 0, word(m.day), word(m.hour), word(m.minute)};
}

std::string MinuteText(const LocalMinute& m) {
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d", m.year % 10000, m.month % 100,
                m.day % 100, m.hour % 100, m.minute % 100);
  return text;
}

std::string MinuteText(const SystemTime& t) {
  return MinuteText(MinuteOf(t));
}

}  // namespace pendulon
