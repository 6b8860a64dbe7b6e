#include "checker/NextTimes.h"

#include <memory>
#include <stdexcept>
#include <string>
#include <unordered_map>

#include "checker/ClockChanges.h"
#include "platform/Calendar.h"
#include "platform/Exceptions.h"
#include "platform/LocalClock.h"
#include "scheduler/MinuteMatcher.h"

namespace pendulon {
namespace {

// A clock that stands at second 00 of the minute it is set to: the walk reads nothing else.
class StoppedClock final : public LocalClock {
 public:
  SystemTime LocalTime() override { return now; }
  SystemTime now;
};

// Walks the table at minutes of the classes asked for, once per pair of classes, and holds the
// lines the walk was seen to act on against those the classes predict.
class Judge {
 public:
  Judge(const TStringList& table, const std::vector<TimedLine>& lines, const MinuteClasses& classes)
      : table_(table), lines_(lines), classes_(classes), lineOf_(table.Count(), -1) {
    for (std::size_t k = 0; k < lines.size(); ++k)
      lineOf_[static_cast<std::size_t>(lines[k].index)] = static_cast<int>(k);
  }

  const LineSet& Acting(int timeClass, int dateClass, const LocalMinute& at) {
    const auto key = static_cast<std::int64_t>(timeClass) * classes_.DateClasses() + dateClass;
    const auto [found, fresh] = seen_.try_emplace(key);
    if (fresh)
      found->second = Walk(timeClass, dateClass, at);
    return found->second;
  }

 private:
  // The lines that run in a walk of the table's first `count` lines, and the message of the
  // error it ends with, if any.
  LineSet Runs(int count, std::string& raised) {
    auto table = std::make_unique<TStringList>();
    for (int i = 0; i < count; ++i) table->Add(table_[i]);
    LineSet ran(static_cast<int>(lines_.size()));
    try {
      WalkTasks(clock_, table, [&](const AnsiString&, int number) {
        const int k = lineOf_[static_cast<std::size_t>(number - 1)];
        if (k < 0)
          Disagree("a line whose fields never match ran");
        ran.Set(k);
        return true;
      });
    } catch (const EStringListError& e) {
      raised = e.Message();
    }
    return ran;
  }

  LineSet Walk(int timeClass, int dateClass, const LocalMinute& at) {
    clock_.now = TimeOf(at);
    at_ = at;
    LineSet acting = classes_.Acting(timeClass, dateClass);
    const int first = classes_.FirstRaising(timeClass, dateClass);
    // The walk ends at the line that raises: the lines above it must run as predicted and
    // not raise, and that line must raise with its own index.
    const int end = first < 0 ? table_.Count() : lines_[static_cast<std::size_t>(first)].index;
    std::string raised;
    LineSet ran = Runs(end, raised);
    if (!raised.empty())
      Disagree("a line raised where none was foreseen");
    if (first >= 0) {
      ran.Set(first);
      auto alone = std::make_unique<TStringList>();
      alone->Add(table_[end]);
      try {
        WalkTasks(clock_, alone, [&](const AnsiString&, int) { return true; });
      } catch (const EStringListError& e) {
        raised = e.Message();
      }
      if (raised != EStringListError(lines_[static_cast<std::size_t>(first)].raises).Message())
        Disagree("the line foreseen to raise did not raise so");
    }
    if (ran != acting)
      Disagree("other lines acted than foreseen");
    return acting;
  }

  [[noreturn]] void Disagree(const char* what) const {
    throw std::logic_error(std::string("qefcheck's search and the executer's walk disagree at ") +
                           IsoText(at_) + ": " + what);
  }

  const TStringList& table_;
  const std::vector<TimedLine>& lines_;
  const MinuteClasses& classes_;
  std::vector<int> lineOf_;  // by table index: the position among lines, or -1
  std::unordered_map<std::int64_t, LineSet> seen_;
  StoppedClock clock_;
  LocalMinute at_;
};

}  // namespace

std::vector<LineTimes> FindNextTimes(const TStringList& table, const std::vector<TimedLine>& lines,
                                     TimeZone& zone, const LocalMinute& after, int count) {
  const MinuteClasses classes(lines);
  Judge judge(table, lines, classes);
  ClockChanges clock(zone);
  std::vector<LineTimes> times(lines.size());
  LineSet pending = classes.ActingEver();  // the lines still short of count times
  for (std::size_t k = 0; k < lines.size(); ++k) times[k].acts = pending.Test(static_cast<int>(k));
  if (count <= 0)
    return times;
  const std::int64_t first = DaysFromCivil(after.year, static_cast<unsigned>(after.month),
                                           static_cast<unsigned>(after.day));
  int firstMinute = after.hour * 60 + after.minute + 1;  // of the first day
  int weekday = 0;
  // 400 years, after which the calendar repeats, and one: each class of minute comes round.
  for (std::int64_t d = first; d <= first + 146097 + 366 && pending.Any(); ++d, firstMinute = 0) {
    const CivilDate civil = CivilFromDays(d);
    LocalMinute at{static_cast<int>(civil.year), static_cast<int>(civil.month),
                   static_cast<int>(civil.day)};
    // Read as the walk reads it once, then counted: the search passes over most days.
    weekday = weekday > 0 ? weekday % 7 + 1 : WeekdayNumber(EncodeDateTime(TimeOf(at)));
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
