#include "checker/NextTimes.h"

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

std::uint16_t Word(std::int64_t value) {
  return static_cast<std::uint16_t>(value);
}

}  // namespace

std::vector<LocalMinute> NextTimes(const TimedLine& line, const std::vector<TimedLine>& above,
                                   const LocalMinute& after, int count) {
  // 400 years, after which the calendar repeats, and one.
  constexpr int kHorizonDays = 146097 + 366;
  std::vector<LocalMinute> found;
  if (count <= 0 || !CanOccur(line.when))
    return found;
  // The table walked: the lines above, a marker line that runs whenever the walk gets past
  // them, and the line. The line acts when the walk runs the marker and then the line's item,
  // or runs the marker and raises.
  auto table = std::make_unique<TStringList>();
  for (const TimedLine& other : above) table->Add(other.text);
  table->Add("* * * * * past the lines above");
  table->Add(line.text);
  StoppedClock clock;
  const auto acts = [&](int hour, int minute) {
    clock.now.hour = Word(hour);
    clock.now.minute = Word(minute);
    int ran = 0;
    try {
      WalkTasks(clock, table, [&](const AnsiString&) { ++ran; });
    } catch (const EStringListError&) {
      return line.raises >= 0 && ran == 1;
    }
    return line.raises < 0 && ran == 2;
  };

  // The walk tells two minutes apart only by the values that some line fixes. A minute's class
  // keeps those values and frees the others; each class is walked once, and a whole day is
  // passed over once a day of its class has shown no minute in which the line acts.
  std::array<std::bitset<64>, Schedule::kFields> fixed;
  const auto mark = [&](const Schedule& s) {
    for (int f = 0; f < Schedule::kFields; ++f) {
      if (s.Fixed(f))
        fixed[f].set(static_cast<std::size_t>(s[f]));
    }
  };
  mark(line.when);
  for (const TimedLine& other : above) mark(other.when);
  const auto classOf = [&](Schedule minute) {
    for (int f = 0; f < Schedule::kFields; ++f) {
      if (minute.Fixed(f) && !fixed[f].test(static_cast<std::size_t>(minute[f])))
        minute[f] = Schedule::kAny;
    }
    return minute;
  };
  std::map<Schedule, bool> minuteActs, dayActs;
  // The kinds of day the line may act on, as classes: once each has shown no minute in which
  // the line acts, no later day will.
  const auto countDayKinds = [&] {
    std::set<Schedule> kinds;
    Schedule date;
    for (date[F::kDay] = 1; date[F::kDay] <= 31; ++date[F::kDay]) {
      for (date[F::kMonth] = 1; date[F::kMonth] <= 12; ++date[F::kMonth]) {
        for (date[F::kWeekday] = 1; date[F::kWeekday] <= 7; ++date[F::kWeekday]) {
          if (Intersect(line.when, date))
            kinds.insert(classOf(date));
        }
      }
    }
    return kinds.size();
  };
  std::size_t dayKinds = 0;  // counted once some day has shown nothing
  int actingKinds = 0;
  const auto candidates = [&](int f) {
    return line.when.Fixed(f) ? FieldRange{line.when[f], line.when[f]} : RangeOf(f);
  };
  const FieldRange hours = candidates(F::kHour), minutes = candidates(F::kMinute);

  const std::int64_t firstDay = DaysFromCivil(after.year, static_cast<unsigned>(after.month),
                                              static_cast<unsigned>(after.day));
  int weekday = WeekdayOf(after.year, after.month, after.day);
  int firstMinute = after.hour * 60 + after.minute + 1;  // of the day: strictly after `after`
  Schedule date;
  for (std::int64_t d = firstDay; d <= firstDay + kHorizonDays;
       ++d, weekday = weekday % 7 + 1, firstMinute = 0) {
    const CivilDate civil = CivilFromDays(d);
    const int year = static_cast<int>(civil.year), month = static_cast<int>(civil.month),
              day = static_cast<int>(civil.day);
    date[F::kDay] = day;
    date[F::kMonth] = month;
    date[F::kWeekday] = weekday;
    clock.now = {Word(year), Word(month), Word(weekday - 1), Word(day)};
    const Schedule dayClass = classOf(date);
    const auto known = dayActs.find(dayClass);
    if (!Intersect(line.when, date) || (known != dayActs.end() && !known->second))
      continue;
    bool any = false;
    for (int h = hours.low; h <= hours.high; ++h) {
      for (int m = minutes.low; m <= minutes.high; ++m) {
        if (h * 60 + m < firstMinute)
          continue;
        Schedule minute = date;
        minute[F::kHour] = h;
        minute[F::kMinute] = m;
        const LocalMinute at{year, month, day, h, m};
        const auto [verdict, fresh] = minuteActs.try_emplace(classOf(minute));
        if (fresh)
          verdict->second = acts(h, m);
        if (!verdict->second)
          continue;
        any = true;
        found.push_back(at);
        if (static_cast<int>(found.size()) == count)
          return found;
      }
    }
    if (firstMinute > 0 || !dayActs.emplace(dayClass, any).second)
      continue;  // a partial day, or a kind of day seen whole before
    actingKinds += any ? 1 : 0;
    if (actingKinds == 0 && dayKinds == 0)
      dayKinds = countDayKinds();
    if (actingKinds == 0 && dayActs.size() == dayKinds)
      break;
  }
  return found;
}

}  // namespace pendulon
