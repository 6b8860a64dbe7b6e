#include "checker/search/NextTimes.h"

#include "checker/search/ClockChanges.h"
#include "checker/search/MinuteWalk.h"
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
  // 400 years, after which the calendar repeats, and one: each class of minute comes round.
  LocalMinute last = MinutesAfter(after, (146097 + 366) * 24 * 60);
  last.hour = 23;
  last.minute = 59;
  // The classes of time in which no line still short of times acts on a day: asked once each,
  // as the lines short of times only grow fewer.
  std::vector<char> idle;
  const auto onDay = [&](const LocalMinute&, int date) {
    if (!pending.Any())
      return DayAction::kStop;
    if (!classes.ActingOn(date).Intersects(pending))
      return DayAction::kPass;
    idle.assign(static_cast<std::size_t>(classes.TimeClasses()), 0);
    return DayAction::kWalk;
  };
  const auto onMinute = [&](const LocalMinute& at, int date, int time) {
    char& none = idle[static_cast<std::size_t>(time)];
    if (!none)
      none = !classes.ActsAny(time, date, pending);
    if (none)
      return true;
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
    return true;
  };
  WalkMinutesAfter(classes, after, last, onDay, onMinute);
  return times;
}

}  // namespace pendulon
