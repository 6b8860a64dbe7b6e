#include "checker/Schedule.h"

#include <cstdio>

#include "checker/Calendar.h"

namespace pendulon {
namespace {

using F = TaskFields;  // a schedule is indexed by the task line's fields

std::string TimeWords(const Schedule& s) {
  const std::string hour = s.Fixed(F::kHour) ? std::to_string(s[F::kHour]) : std::string();
  if (!s.Fixed(F::kMinute))
    return s.Fixed(F::kHour) ? "every minute from " + hour + ":00 to " + hour + ":59"
                             : "every minute";
  if (!s.Fixed(F::kHour))
    return "at minute " + std::to_string(s[F::kMinute]) + " of every hour";
  char text[16];
  std::snprintf(text, sizeof text, "%d:%02d", s[F::kHour], s[F::kMinute]);
  return std::string("at ") + text;
}

std::string DateWords(const Schedule& s) {
  const bool day = s.Fixed(F::kDay), month = s.Fixed(F::kMonth), weekday = s.Fixed(F::kWeekday);
  const std::string weekdays = weekday ? WeekdayName(s[F::kWeekday]) + std::string("s") : "";
  const std::string when =
      weekday ? " when it is a " + std::string(WeekdayName(s[F::kWeekday])) : "";
  if (day && month) {
    const bool leap = s[F::kDay] == 29 && s[F::kMonth] == 2;
    return "on " + std::to_string(s[F::kDay]) + " " + MonthName(s[F::kMonth]) +
           (leap ? " (leap years only)" : "") + when;
  }
  if (day) {
    // Days of the month that some months lack.
    static const char* const kShortMonths[] = {" (in February only in leap years)",
                                               " (not in February)",
                                               " (only in months with 31 days)"};
    const int d = s[F::kDay];
    return "on day " + std::to_string(d) + " of every month" +
           (d >= 29 ? kShortMonths[d - 29] : "") + when;
  }
  if (month)
    return (weekday ? "on " + weekdays + " " : std::string()) + "in " + MonthName(s[F::kMonth]);
  return weekday ? "on " + weekdays : std::string();
}

}  // namespace

FieldRange RangeOf(int field) {
  static constexpr FieldRange kRanges[Schedule::kFields] = {
      {0, 59}, {0, 23}, {1, 31}, {1, 12}, {1, 7}};
  return kRanges[field];
}

int MostDaysIn(int month) {
  return DaysIn(2000, month);  // a leap year
}

bool CanOccur(const Schedule& s) {
  return !s.Fixed(F::kDay) || !s.Fixed(F::kMonth) || s[F::kDay] <= MostDaysIn(s[F::kMonth]);
}

std::optional<Schedule> Intersect(const Schedule& a, const Schedule& b) {
  Schedule both = a;
  for (int f = 0; f < Schedule::kFields; ++f) {
    if (!b.Fixed(f))
      continue;
    if (both.Fixed(f) && both[f] != b[f])
      return std::nullopt;
    both[f] = b[f];
  }
  return CanOccur(both) ? std::optional(both) : std::nullopt;
}

std::string DescribeSchedule(const Schedule& s) {
  std::string date = DateWords(s);
  if (date.empty() && s.Fixed(F::kMinute) && s.Fixed(F::kHour))
    date = "every day";
  return date.empty() ? TimeWords(s) : TimeWords(s) + " " + date;
}

}  // namespace pendulon
