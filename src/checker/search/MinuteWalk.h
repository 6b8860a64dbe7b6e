#pragma once
// The local minutes after a moment, day by day, each day and each minute with its class: the one
// way the next times of the lines and --next's span go through the calendar, so that the two
// never count a minute or a weekday differently.

#include <cstdint>

#include "checker/search/MinuteClasses.h"
#include "platform/Calendar.h"

namespace pendulon {

enum class DayAction { kPass, kWalk, kStop };

// Goes through the minutes from the one after `after` up to `last`, both local: each day's date
// class is handed to onDay(day, dateClass), which passes over the day, goes through its minutes
// or stops; each minute gone through is handed to onMinute(at, dateClass, timeClass), which gives
// false to stop.
template <typename OnDay, typename OnMinute>
void WalkMinutesAfter(const MinuteClasses& classes, const LocalMinute& after,
                      const LocalMinute& last, OnDay onDay, OnMinute onMinute) {
  const auto day = [](const LocalMinute& m) {
    return DaysFromCivil(m.year, static_cast<unsigned>(m.month), static_cast<unsigned>(m.day));
  };
  const std::int64_t lastDay = day(last);
  int firstMinute = after.hour * 60 + after.minute + 1;  // of the first day
  for (std::int64_t d = day(after); d <= lastDay; ++d, firstMinute = 0) {
    const CivilDate civil = CivilFromDays(d);
    LocalMinute at{static_cast<int>(civil.year), static_cast<int>(civil.month),
                   static_cast<int>(civil.day)};
    const int date = classes.DateClass(at.month, at.day, WeekdayOfDay(d));
    const DayAction action = onDay(at, date);
    if (action == DayAction::kStop)
      return;
    if (action == DayAction::kPass)
      continue;
    const int end = d == lastDay ? last.hour * 60 + last.minute : 24 * 60 - 1;
    for (int minute = firstMinute; minute <= end; ++minute) {
      at.hour = minute / 60;
      at.minute = minute % 60;
      if (!onMinute(at, date, classes.TimeClass(at.hour, at.minute)))
        return;
    }
  }
}

// The local minute that many minutes after `from`, by the calendar alone.
inline LocalMinute MinutesAfter(const LocalMinute& from, std::int64_t minutes) {
  const std::int64_t count =
      DaysFromCivil(from.year, static_cast<unsigned>(from.month), static_cast<unsigned>(from.day)) *
          24 * 60 +
      from.hour * 60 + from.minute + minutes;
  const std::int64_t days = FloorDiv(count, 24 * 60);
  const CivilDate date = CivilFromDays(days);
  const auto inDay = static_cast<int>(count - days * 24 * 60);
  return {static_cast<int>(date.year), static_cast<int>(date.month), static_cast<int>(date.day),
          inDay / 60, inDay % 60};
}

}  // namespace pendulon
