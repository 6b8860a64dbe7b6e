#include "checker/search/Schedule.h"

#include <cstdio>

#include "checker/text/CalendarWords.h"
#include "platform/Calendar.h"

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
  const std::string name = weekday ? WeekdayName(s[F::kWeekday]) : "";
  const std::string when = weekday ? " when it is a " + name : "";
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
  const std::string on = weekday ? "on " + name + "s" : "";
  if (!month)
    return on;
  return (weekday ? on + " " : "") + "in " + MonthName(s[F::kMonth]);
}

}  // namespace

FieldRange RangeOf(int field) {
  static constexpr FieldRange kRanges[Schedule::kFields] = {
      {0, 59}, {0, 23}, {1, 31}, {1, 12}, {1, 7}};
  return kRanges[field];
}

bool CanOccur(const Schedule& s) {
  return !s.Fixed(F::kDay) || !s.Fixed(F::kMonth) || s[F::kDay] <= MostDaysIn(s[F::kMonth]);
}

std::optional<Schedule> Intersect(const Schedule& a, const Schedule& b) {
  Schedule both = a;
  for (int f = 0; f < Schedule::kFields; ++f) {
    if (a.Fixed(f) && b.Fixed(f) && a[f] != b[f])
      return std::nullopt;
    both[f] = a.Fixed(f) ? a[f] : b[f];
  }
  return CanOccur(both) ? std::optional(both) : std::nullopt;
}

std::string DescribeSchedule(const Schedule& s) {
  std::string date = DateWords(s);
  if (date.empty() && s.Fixed(F::kMinute) && s.Fixed(F::kHour))
    date = "every day";
  return date.empty() ? TimeWords(s) : TimeWords(s) + " " + date;
}

std::optional<LocalMinute> FirstIn(const Schedule& s, const LocalMinute& from,
                                   const LocalMinute& to) {
  const std::int64_t first =
      DaysFromCivil(from.year, static_cast<unsigned>(from.month), static_cast<unsigned>(from.day));
  const std::int64_t last =
      DaysFromCivil(to.year, static_cast<unsigned>(to.month), static_cast<unsigned>(to.day));
  const auto matches = [&s](int field, int value) { return !s.Fixed(field) || s[field] == value; };
  for (std::int64_t d = first; d <= last && d - first <= 400; ++d) {
    const CivilDate date = CivilFromDays(d);
    const int weekday = WeekdayOfDay(d);
    if (!matches(TaskFields::kDay, static_cast<int>(date.day)) ||
        !matches(TaskFields::kMonth, static_cast<int>(date.month)) ||
        !matches(TaskFields::kWeekday, weekday))
      continue;
    const int begin = d == first ? from.hour * 60 + from.minute : 0;
    const int end = d == last ? to.hour * 60 + to.minute : 24 * 60 - 1;
    for (int hour = begin / 60; hour <= end / 60; ++hour) {
      if (!matches(TaskFields::kHour, hour))
        continue;
      const int low = hour == begin / 60 ? begin % 60 : 0;
      const int high = hour == end / 60 ? end % 60 : 59;
      const int minute = s.Fixed(TaskFields::kMinute) ? s[TaskFields::kMinute] : low;
      if (minute >= low && minute <= high)
        return LocalMinute{static_cast<int>(date.year), static_cast<int>(date.month),
                           static_cast<int>(date.day), hour, minute};
    }
  }
  return std::nullopt;
}

}  // namespace pendulon
