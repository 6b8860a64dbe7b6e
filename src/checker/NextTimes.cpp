#include "checker/NextTimes.h"

#include <bitset>
#include <map>
#include <memory>
#include <optional>

#include "checker/ForwardingPlatform.h"
#include "platform/Exceptions.h"
#include "scheduler/MinuteMatcher.h"

namespace pendulon {
namespace {

using F = TaskFields;  // a schedule is indexed by the task line's fields

// The executer's walk of a table at second 00 of one chosen minute.
class Walker final : public ForwardingPlatform {
 public:
  using ForwardingPlatform::ForwardingPlatform;
  SystemTime LocalTime() override { return now_; }

  // How many items the walk ran, and the message of the error that ended it.
  struct Result {
    int ran = 0;
    std::optional<AnsiString> error;
  };
  Result Walk(const std::unique_ptr<TStringList>& table, const LocalMinute& at) {
    now_ = ClockAt(at);
    Result result;
    try {
      WalkTasks(*this, table, [&](const AnsiString&) { ++result.ran; });
    } catch (const Exception& e) {
      result.error = e.Message();
    }
    return result;
  }

 private:
  SystemTime now_;
};

std::unique_ptr<TStringList> TableOf(const std::vector<TimedLine>& lines) {
  auto table = std::make_unique<TStringList>();
  for (const TimedLine& line : lines) table->Add(line.text);
  return table;
}

}  // namespace

std::vector<LocalMinute> NextTimes(const TimedLine& line, const std::vector<TimedLine>& above,
                                   const LocalMinute& after, int count, Platform& platform,
                                   int horizonDays) {
  std::vector<LocalMinute> found;
  if (count <= 0 || !CanOccur(line.when))
    return found;
  Walker walker(platform);
  const auto alone = TableOf({line});
  const auto aboveTable = TableOf(above);
  const auto acts = [&](const LocalMinute& at) {
    if (!above.empty() && walker.Walk(aboveTable, at).error)
      return false;
    const Walker::Result result = walker.Walk(alone, at);
    if (line.raises >= 0)
      return result.error == EStringListError(line.raises).Message();
    return !result.error && result.ran == 1;
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
  const auto candidates = [&](int f) {
    return line.when.Fixed(f) ? FieldRange{line.when[f], line.when[f]} : RangeOf(f);
  };
  const FieldRange hours = candidates(F::kHour), minutes = candidates(F::kMinute);

  int year = after.year, month = after.month, day = after.day;
  int firstMinute = after.hour * 60 + after.minute + 1;  // of the day: strictly after `after`
  for (int d = 0; d <= horizonDays; ++d, NextDay(year, month, day), firstMinute = 0) {
    Schedule date;
    date[F::kDay] = day;
    date[F::kMonth] = month;
    date[F::kWeekday] = WeekdayOf(year, month, day);
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
          verdict->second = acts(at);
        if (!verdict->second)
          continue;
        any = true;
        found.push_back(at);
        if (static_cast<int>(found.size()) == count)
          return found;
      }
    }
    if (firstMinute == 0)
      dayActs[dayClass] = any;
  }
  return found;
}

}  // namespace pendulon
