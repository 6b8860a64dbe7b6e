#include "checker/NextTimes.h"

#include <algorithm>
#include <bitset>
#include <map>
#include <memory>
#include <set>
#include <stdexcept>

#include "platform/Clock.h"
#include "platform/Exceptions.h"
#include "scheduler/MinuteMatcher.h"

namespace pendulon {
namespace {

using F = TaskFields;  // a schedule is indexed by the task line's fields

// A clock that stands at second 00 of the minute it is set to; the walk reads nothing else.
class StoppedClock final : public SystemClock {
 public:
  SystemTime LocalTime() override { return now; }
  // The walk never waits; a wait on a clock that cannot move would never end.
  void Sleep(std::uint32_t) override { throw std::logic_error("a stopped clock cannot wait"); }
  // Stopped: no time passes, and its minute is read as UTC.
  std::uint64_t Milliseconds() override { return 0; }
  std::int32_t UtcOffsetMinutes() override { return 0; }
  SystemTime now;
};

}  // namespace

std::vector<LocalMinute> NextTimes(const TimedLine& line, const std::vector<TimedLine>& above,
                                   const LocalMinute& after, int count) {
  if (count <= 0 || !CanOccur(line.when))
    return {};
  // The table walked: the lines above, a marker line that runs whenever the walk gets past
  // them, and the line. The line acts when the walk runs the marker and then the line's item,
  // or runs the marker and raises. The walk tells two minutes apart only by the values that
  // some line fixes.
  auto table = std::make_unique<TStringList>();
  std::array<std::bitset<64>, Schedule::kFields> fixed;
  const auto add = [&](const TimedLine& walked) {
    table->Add(walked.text);
    for (int f = 0; f < Schedule::kFields; ++f) {
      if (walked.when.Fixed(f))
        fixed[f].set(static_cast<std::size_t>(walked.when[f]));
    }
  };
  for (const TimedLine& other : above) add(other);
  table->Add("* * * * * past the lines above");
  add(line);
  // A minute's class keeps the values some line fixes and frees the others; each class of
  // minute is walked once, and a kind of day is passed over once a whole day of it has shown
  // no minute in which the line acts.
  const auto classOf = [&](Schedule minute) {
    for (int f = 0; f < Schedule::kFields; ++f) {
      if (minute.Fixed(f) && !fixed[f].test(static_cast<std::size_t>(minute[f])))
        minute[f] = Schedule::kAny;
    }
    return minute;
  };
  StoppedClock clock;
  const auto walkActs = [&] {
    int ran = 0;
    try {
      WalkTasks(clock, table, [&](const AnsiString&) { ++ran; });
    } catch (const EStringListError&) {
      return line.raises >= 0 && ran == 1;
    }
    return line.raises < 0 && ran == 2;
  };
  std::map<Schedule, bool> verdicts;  // by class of minute
  std::set<Schedule> deadDays;        // classes of whole days in which the line never acts
  const auto candidates = [&](int f) {
    return line.when.Fixed(f) ? FieldRange{line.when[f], line.when[f]} : RangeOf(f);
  };
  const FieldRange hours = candidates(F::kHour), minutes = candidates(F::kMinute);
  // The first `limit` minutes after `from` in which the line acts, in the `days` days after its
  // day.
  const auto search = [&](const LocalMinute& from, std::int64_t days, std::size_t limit) {
    const std::int64_t first = DaysFromCivil(from.year, static_cast<unsigned>(from.month),
                                             static_cast<unsigned>(from.day));
    int firstMinute = from.hour * 60 + from.minute + 1;  // of the first day
    std::vector<LocalMinute> found;
    int weekday = 0;
    for (std::int64_t d = first; d <= first + days; ++d, firstMinute = 0) {
      const CivilDate civil = CivilFromDays(d);
      LocalMinute at{static_cast<int>(civil.year), static_cast<int>(civil.month),
                     static_cast<int>(civil.day)};
      // Read as the walk reads it once, then counted: the search passes over most days.
      weekday = weekday > 0 ? weekday % 7 + 1 : WeekdayNumber(EncodeDateTime(TimeOf(at)));
      Schedule shown;  // the values the walk reads on this day
      shown.value = {Schedule::kAny, Schedule::kAny, at.day, at.month, weekday};
      const Schedule day = classOf(shown);
      if (!Intersect(line.when, shown) || deadDays.count(day))
        continue;
      bool any = false;
      for (at.hour = std::max(hours.low, firstMinute / 60); at.hour <= hours.high; ++at.hour) {
        for (at.minute = minutes.low; at.minute <= minutes.high; ++at.minute) {
          if (at.hour * 60 + at.minute < firstMinute)
            continue;
          shown[F::kHour] = at.hour;
          shown[F::kMinute] = at.minute;
          const auto [verdict, fresh] = verdicts.try_emplace(classOf(shown));
          if (fresh) {
            clock.now = TimeOf(at);
            verdict->second = walkActs();
          }
          if (!verdict->second)
            continue;
          any = true;
          found.push_back(at);
          if (found.size() == limit)
            return found;
        }
      }
      if (firstMinute == 0 && !any)
        deadDays.insert(day);
    }
    return found;
  };
  // The 28 years from 2000, seven of them leap years, hold no century year without a leap day,
  // so every date falls on every weekday in them: a line that acts in none of them never acts.
  if (search({1999, 12, 31, 23, 59}, 28 * 365 + 7, 1).empty())
    return {};
  // 400 years, after which the calendar repeats, and one.
  return search(after, 146097 + 366, static_cast<std::size_t>(count));
}

}  // namespace pendulon
