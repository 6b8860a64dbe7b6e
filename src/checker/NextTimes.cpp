#include "checker/NextTimes.h"

#include <bitset>
#include <memory>

#include "platform/Exceptions.h"

namespace pendulon {
namespace {

using F = TaskFields;  // a schedule is indexed by the task line's fields
constexpr int kMinutesPerDay = 24 * 60;

bool DateMatches(const Schedule& s, int month, int day, int weekday) {
  return (!s.Fixed(F::kDay) || s[F::kDay] == day) &&
         (!s.Fixed(F::kMonth) || s[F::kMonth] == month) &&
         (!s.Fixed(F::kWeekday) || s[F::kWeekday] == weekday);
}

std::unique_ptr<TStringList> TableOf(const std::vector<const TimedLine*>& lines) {
  auto table = std::make_unique<TStringList>();
  for (const TimedLine* line : lines) table->Add(line->text);
  return table;
}

// Confirms with the matcher that the line acts at the minute and no line above ends the walk.
bool Confirmed(const TimedLine& line, const std::unique_ptr<TStringList>& alone,
               const std::unique_ptr<TStringList>& above, const LocalMinute& at,
               MatcherProbe& probe) {
  if (above->Count() > 0 && probe.Walk(above, at).error)
    return false;
  const MatcherProbe::Result result = probe.Walk(alone, at);
  if (line.raises >= 0)
    return result.error == EStringListError(line.raises).Message();
  return !result.error && result.ran.size() == 1;
}

}  // namespace

std::vector<LocalMinute> NextTimes(const TimedLine& line, const std::vector<TimedLine>& above,
                                   const LocalMinute& after, int count, MatcherProbe& probe,
                                   int horizonDays) {
  std::vector<LocalMinute> found;
  const Schedule& when = line.when;
  if (count <= 0 || !CanOccur(when))
    return found;
  // Only the lines that can raise in this line's minutes matter.
  std::vector<const TimedLine*> blockers;
  for (const TimedLine& other : above) {
    if (other.raises >= 0 && Intersect(other.when, when))
      blockers.push_back(&other);
  }
  const auto alone = TableOf({&line});
  const auto aboveTable = TableOf(blockers);

  int year = after.year, month = after.month, day = after.day;
  int firstMinute = after.hour * 60 + after.minute + 1;  // of the day: strictly after `after`
  for (int d = 0; d <= horizonDays; ++d, NextDay(year, month, day), firstMinute = 0) {
    const int weekday = WeekdayOf(year, month, day);
    if (!DateMatches(when, month, day, weekday))
      continue;
    // The minutes of this day in which a line above raises.
    std::bitset<kMinutesPerDay> blocked;
    for (const TimedLine* b : blockers) {
      if (!DateMatches(b->when, month, day, weekday))
        continue;
      for (int h = 0; h < 24; ++h) {
        if (b->when.Fixed(F::kHour) && b->when[F::kHour] != h)
          continue;
        for (int m = 0; m < 60; ++m) {
          if (!b->when.Fixed(F::kMinute) || b->when[F::kMinute] == m)
            blocked.set(static_cast<std::size_t>(h * 60 + m));
        }
      }
      if (blocked.all())
        break;
    }
    if (blocked.all())
      continue;
    for (int h = 0; h < 24; ++h) {
      if (when.Fixed(F::kHour) && when[F::kHour] != h)
        continue;
      for (int m = 0; m < 60; ++m) {
        const int ofDay = h * 60 + m;
        if ((when.Fixed(F::kMinute) && when[F::kMinute] != m) || ofDay < firstMinute ||
            blocked.test(static_cast<std::size_t>(ofDay)))
          continue;
        const LocalMinute at{year, month, day, h, m};
        if (!Confirmed(line, alone, aboveTable, at, probe))
          continue;
        found.push_back(at);
        if (static_cast<int>(found.size()) == count)
          return found;
      }
    }
  }
  return found;
}

}  // namespace pendulon
