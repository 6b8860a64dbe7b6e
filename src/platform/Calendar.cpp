#include "platform/Calendar.h"

#include <chrono>
#include <cmath>

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
  const auto days = static_cast<std::int64_t>(std::floor(when)) - kDaysFrom1899To1970;
  const std::chrono::weekday weekday{std::chrono::sys_days(std::chrono::days(days))};
  return static_cast<int>(weekday.c_encoding()) + 1;  // c_encoding: 0 for Sunday
}

}  // namespace pendulon
