#include "checker/ScheduleWords.h"

#include <cstdio>

#include "checker/Calendar.h"

namespace pendulon {
namespace {

constexpr int kMinute = 0, kHour = 1, kDay = 2, kMonth = 3, kWeekday = 4;

std::string TimeWords(const Schedule& s) {
  const std::string hour = s.Fixed(kHour) ? std::to_string(s[kHour]) : std::string();
  if (!s.Fixed(kMinute))
    return s.Fixed(kHour) ? "every minute from " + hour + ":00 to " + hour + ":59" : "every minute";
  if (!s.Fixed(kHour))
    return "at minute " + std::to_string(s[kMinute]) + " of every hour";
  char text[16];
  std::snprintf(text, sizeof text, "%d:%02d", s[kHour], s[kMinute]);
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
  const bool day = s.Fixed(kDay), month = s.Fixed(kMonth), weekday = s.Fixed(kWeekday);
  const std::string weekdays =
      weekday ? std::string(WeekdayName(s[kWeekday])) + "s" : std::string();
  const std::string when =
      weekday ? std::string(" when it is a ") + WeekdayName(s[kWeekday]) : std::string();
  if (day && month) {
    const std::string leap = s[kDay] == 29 && s[kMonth] == 2 ? " (leap years only)" : std::string();
    return "on " + std::to_string(s[kDay]) + " " + MonthName(s[kMonth]) + leap + when;
  }
  if (day)
    return "on day " + std::to_string(s[kDay]) + " of every month" + ShortMonthNote(s[kDay]) + when;
  if (month)
    return (weekday ? "on " + weekdays + " " : std::string()) + "in " + MonthName(s[kMonth]);
  if (weekday)
    return "on " + weekdays;
  return std::string();
}

}  // namespace

std::string DescribeSchedule(const Schedule& s) {
  std::string words = TimeWords(s);
  std::string date = DateWords(s);
  if (date.empty() && s.Fixed(kMinute) && s.Fixed(kHour))
    date = "every day";
  return date.empty() ? words : words + " " + date;
}

}  // namespace pendulon
