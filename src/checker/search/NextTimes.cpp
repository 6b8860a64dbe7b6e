#include "checker/search/NextTimes.h"

#include "checker/search/ClockChanges.h"
#include "checker/search/WalkJudge.h"
#include "platform/Calendar.h"

namespace pendulon {

std::vector<LineTimes> FindNextTimes(const TStringList& table, const std::vector<TimedLine>& lines,
                                     TimeZone& zone, const LocalMinute& after, int count) {
  const MinuteClasses classes(lines);
  WalkJudge judge(table, lines, classes);
  ClockChanges clock(zone);
  std::vector<LineTimes> times(lines.size());
  LineSet pending = classes.ActingEver();  // the lines still short of count times
  for (std::size_t k = 0; k < lines.size(); ++k) times[k].acts = pending.Test(static_cast<int>(k));
  if (count <= 0)
    return times;
  const std::int64_t first = DaysFromCivil(after.year, static_cast<unsigned>(after.month),
                                           static_cast<unsigned>(after.day));
  int firstMinute = after.hour * 60 + after.minute + 1;  // of the first day
  // 400 years, after which the calendar repeats, and one: each class of minute comes round.
  for (std::int64_t d = first; d <= first + 146097 + 366 && pending.Any(); ++d, firstMinute = 0) {
    const CivilDate civil = CivilFromDays(d);
    LocalMinute at{static_cast<int>(civil.year), static_cast<int>(civil.month),
                   static_cast<int>(civil.day)};
    const int weekday = WeekdayOfDay(d);
    const int date = classes.DateClass(at.month, at.day, weekday);
    if (!classes.ActingOn(date).Intersects(pending))
      continue;
    // The classes of time in which no line still short of times acts today: asked once each,
    // as the lines short of times only grow fewer.
    std::vector<char> idle(static_cast<std::size_t>(classes.TimeClasses()), 0);
    for (int minute = firstMinute; minute < 24 * 60; ++minute) {
      at.hour = minute / 60;
      at.minute = minute % 60;
      const int time = classes.TimeClass(at.hour, at.minute);
      char& none = idle[static_cast<std::size_t>(time)];
      if (!none)
        none = !classes.ActsAny(time, date, pending);
      if (none)
        continue;
      const LineSet& acting = judge.Acting(time, date, at);
      const MinuteOccurrence shown = clock.Occurrences(at);
      LineSet due = acting;
      due &= pending;
      for (int k = due.Next(0); k >= 0; k = due.Next(k + 1)) {
        LineTimes& line = times[static_cast<std::size_t>(k)];
        if (shown.times == 0) {
          if (line.skipped.size() < static_cast<std::size_t>(count))
            line.skipped.push_back({at, shown.from, shown.to});
          continue;
        }
        line.next.push_back({at, shown.times > 1});
        if (line.next.size() == static_cast<std::size_t>(count))
          pending.Reset(k);
      }
    }
  }
  return times;
}

}  // namespace pendulon
