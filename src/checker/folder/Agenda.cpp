#include "checker/folder/Agenda.h"

#include "checker/search/MinuteWalk.h"
#include "platform/Calendar.h"

namespace pendulon {

std::vector<TimedLine> Agenda::TimedLines(const std::vector<LineReport>& reports) {
  std::vector<TimedLine> timed;
  for (const LineReport& r : reports) {
    if (r.schedule)
      timed.push_back({r.number - 1, *r.schedule, r.error ? r.error->index : -1});
  }
  return timed;
}

Agenda::Agenda(const TStringList& table, const std::vector<LineReport>& reports, TimeZone& zone)
    : reports_(reports),
      timed_(TimedLines(reports)),
      classes_(timed_),
      judge_(table, timed_, classes_),
      clock_(zone) {
  for (std::size_t i = 0; i < reports.size(); ++i) {
    if (reports[i].schedule)
      reportOf_.push_back(static_cast<int>(i));
  }
}

LineSet Agenda::Select(const std::function<bool(const LineReport&)>& wanted) const {
  LineSet lines(static_cast<int>(timed_.size()));
  for (std::size_t k = 0; k < timed_.size(); ++k) {
    if (wanted(reports_[static_cast<std::size_t>(reportOf_[k])]))
      lines.Set(static_cast<int>(k));
  }
  return lines;
}

std::vector<const LineReport*> Agenda::ActingIn(const LocalMinute& after, int minutes,
                                                const LineSet& among) {
  LineSet acting(static_cast<int>(timed_.size()));
  Minutes(after, minutes, [&](const LocalMinute&, const LineSet& now) {
    acting |= now;
    return true;
  });
  acting &= among;
  std::vector<const LineReport*> lines;
  for (int k = acting.Next(0); k >= 0; k = acting.Next(k + 1))
    lines.push_back(&reports_[static_cast<std::size_t>(reportOf_[static_cast<std::size_t>(k)])]);
  return lines;
}

void Agenda::Walk(const LocalMinute& after, int minutes, const LineSet& among, const Visit& visit) {
  Minutes(after, minutes, [&](const LocalMinute& at, const LineSet& now) {
    LineSet acting = now;
    acting &= among;
    if (!acting.Any())
      return true;
    const MinuteOccurrence shown = clock_.Occurrences(at);
    for (int k = acting.Next(0); k >= 0; k = acting.Next(k + 1)) {
      if (!visit(at, shown,
                 reports_[static_cast<std::size_t>(reportOf_[static_cast<std::size_t>(k)])]))
        return false;
    }
    return true;
  });
}

void Agenda::Minutes(const LocalMinute& after, int minutes,
                     const std::function<bool(const LocalMinute&, const LineSet&)>& each) {
  if (minutes <= 0)
    return;
  LineSet all(static_cast<int>(timed_.size()));
  for (std::size_t k = 0; k < timed_.size(); ++k) all.Set(static_cast<int>(k));
  // A day on which no line acts is passed over whole.
  WalkMinutesAfter(
      classes_, after, MinutesAfter(after, minutes),
      [&](const LocalMinute&, int date) {
        return classes_.ActingOn(date).Any() ? DayAction::kWalk : DayAction::kPass;
      },
      [&](const LocalMinute& at, int date, int time) {
        return !classes_.ActsAny(time, date, all) || each(at, judge_.Acting(time, date, at));
      });
}

}  // namespace pendulon
