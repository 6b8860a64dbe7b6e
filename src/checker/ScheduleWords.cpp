#include "checker/ScheduleWords.h"

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

// Days of the month that some months lack.
std::string ShortMonthNote(int day) {
  if (day == 31)
    return " (only in months with 31 days)";
  if (day == 30)
    return " (not in February)";
  if (day == 29)
    return " (in February only in leap years)";
  return std::string();
}

std::string DateWords(const Schedule& s) {
  const bool day = s.Fixed(F::kDay), month = s.Fixed(F::kMonth), weekday = s.Fixed(F::kWeekday);
  const std::string weekdays =
      weekday ? std::string(WeekdayName(s[F::kWeekday])) + "s" : std::string();
  const std::string when =
      weekday ? std::string(" when it is a ") + WeekdayName(s[F::kWeekday]) : std::string();
  if (day && month) {
    const std::string leap =
        s[F::kDay] == 29 && s[F::kMonth] == 2 ? " (leap years only)" : std::string();
    return "on " + std::to_string(s[F::kDay]) + " " + MonthName(s[F::kMonth]) + leap + when;
  }
  if (day)
    return "on day " + std::to_string(s[F::kDay]) + " of every month" + ShortMonthNote(s[F::kDay]) +
           when;
  if (month)
    return (weekday ? "on " + weekdays + " " : std::string()) + "in " + MonthName(s[F::kMonth]);
  if (weekday)
    return "on " + weekdays;
  return std::string();
}

}  // namespace

std::string DescribeSchedule(const Schedule& s) {
  std::string words = TimeWords(s);
  std::string date = DateWords(s);
  if (date.empty() && s.Fixed(F::kMinute) && s.Fixed(F::kHour))
    date = "every day";
  return date.empty() ? words : words + " " + date;
}

}  // namespace pendulon
