#include "checker/search/WalkJudge.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string>
#include <unordered_set>

#include "platform/Exceptions.h"
#include "scheduler/MinuteMatcher.h"
#include "scheduler/TaskLine.h"

namespace pendulon {

WalkJudge::WalkJudge(const TStringList& table, const std::vector<TimedLine>& lines,
                     const MinuteClasses& classes)
    : table_(table), lines_(lines), classes_(classes), lineOf_(table.Count(), -1) {
  for (std::size_t k = 0; k < lines.size(); ++k)
    lineOf_[static_cast<std::size_t>(lines[k].index)] = static_cast<int>(k);
  FindSchedules();
  CheckClasses();
}

// A line's schedule is its time fields as the walk splits them, and whether an item follows.
void WalkJudge::FindSchedules() {
  firstOfSchedule_ = LineSet(static_cast<int>(lines_.size()));
  std::unordered_set<std::string> seen;
  TaskFields fields;
  for (std::size_t k = 0; k < lines_.size(); ++k) {
    SplitTaskLine(table_[lines_[k].index], fields);
    std::string schedule(1, static_cast<char>('0' + fields.Count()));
    for (int field = 0; field < std::min(fields.Count(), 5); ++field) {
      schedule += '\t';
      schedule += fields.Get(field);
    }
    if (seen.insert(std::move(schedule)).second)
      firstOfSchedule_.Set(static_cast<int>(k));
  }
}

// The walk is run once per pair of classes, so two minutes merged into one class would be
// judged as one. Every minute of the day and every date is therefore matched here by the
// walk's own field rule, line by line, against the lines its class says match: a class that
// holds minutes the lines tell apart is a fault, however many lines there are.
void WalkJudge::CheckClasses() {
  const int count = static_cast<int>(lines_.size());
  // For each field and value, the lines whose field matches it; a field the line lacks matches
  // every value, as the walk reaches it only once all before it matched.
  std::array<std::vector<LineSet>, 5> matching;
  for (int field = 0; field < 5; ++field) {
    const FieldRange range = RangeOf(field);
    matching[static_cast<std::size_t>(field)].assign(
        static_cast<std::size_t>(range.high - range.low + 1), LineSet(count));
  }
  TaskFields fields;
  for (int k = 0; k < count; ++k) {
    SplitTaskLine(table_[lines_[static_cast<std::size_t>(k)].index], fields);
    for (int field = 0; field < 5; ++field) {
      const FieldRange range = RangeOf(field);
      for (int v = range.low; v <= range.high; ++v) {
        if (field >= fields.Count() || FieldMatches(fields.Get(field), v))
          matching[static_cast<std::size_t>(field)][static_cast<std::size_t>(v - range.low)].Set(k);
      }
    }
  }
  const auto lines = [&](int field, int v) -> const LineSet& {
    return matching[static_cast<std::size_t>(field)]
                   [static_cast<std::size_t>(v - RangeOf(field).low)];
  };
  const auto disagree = [](const std::string& where) {
    throw std::logic_error("qefcheck's search and the executer's walk disagree " + where +
                           ": its class holds minutes that the lines tell apart");
  };
  using F = TaskFields;
  LineSet set(count);  // assigned in place, so that no minute allocates
  for (int hour = 0; hour < 24; ++hour) {
    for (int minute = 0; minute < 60; ++minute) {
      LineSet& time = set = lines(F::kMinute, minute);
      time &= lines(F::kHour, hour);
      if (time != classes_.TimeLines(classes_.TimeClass(hour, minute)))
        disagree("at " + std::to_string(hour) + ":" + (minute < 10 ? "0" : "") +
                 std::to_string(minute));
    }
  }
  for (int month = 1; month <= 12; ++month) {
    for (int day = 1; day <= MostDaysIn(month); ++day) {
      for (int weekday = 1; weekday <= 7; ++weekday) {
        LineSet& date = set = lines(F::kDay, day);
        date &= lines(F::kMonth, month);
        date &= lines(F::kWeekday, weekday);
        if (date != classes_.DateLines(classes_.DateClass(month, day, weekday)))
          disagree("on day " + std::to_string(day) + " of month " + std::to_string(month) +
                   ", weekday " + std::to_string(weekday));
      }
    }
  }
}

const LineSet& WalkJudge::Acting(int timeClass, int dateClass, const LocalMinute& at) {
  const auto key = static_cast<std::int64_t>(timeClass) * classes_.DateClasses() + dateClass;
  const auto [found, fresh] = seen_.try_emplace(key);
  if (fresh)
    found->second = Walk(timeClass, dateClass, at);
  return found->second;
}

LineSet WalkJudge::Runs(const LineSet& walked, int count, std::string& raised) {
  // In place, and only the lines asked for: a copy of the table up to the raising line for each
  // pair of classes grew with the lines times the walks.
  entries_.clear();
  for (int k = walked.Next(0); k >= 0; k = walked.Next(k + 1)) {
    const int index = lines_[static_cast<std::size_t>(k)].index;
    if (index >= count)
      break;
    entries_.push_back(index);
  }
  LineSet ran(static_cast<int>(lines_.size()));
  try {
    WalkTasks(now_, table_, entries_, [&](const AnsiString&, int number) {
      const int k = lineOf_[static_cast<std::size_t>(number - 1)];
      if (k < 0 || !walked.Test(k))
        Disagree("a line other than those walked ran");
      ran.Set(k);
      return true;
    });
  } catch (const EStringListError& e) {
    raised = e.Message();
  }
  return ran;
}

LineSet WalkJudge::Walk(int timeClass, int dateClass, const LocalMinute& at) {
  now_ = TimeOf(at);
  at_ = at;
  LineSet acting = classes_.Acting(timeClass, dateClass);
  const int first = classes_.FirstRaising(timeClass, dateClass);
  // The walk ends at the line that raises: the lines above it must run as predicted and
  // not raise, and that line must raise with its own index.
  const int end = first < 0 ? table_.Count() : lines_[static_cast<std::size_t>(first)].index;
  // Only the first line of each schedule whose minute and date both match is walked:
  // CheckClasses showed, by the walk's own field rule, that no other line matches a minute of
  // the pair, and a walk treats each line by its own fields alone. At most 32 schedules match
  // a minute, so a pair costs no more however many lines there are.
  LineSet walked = classes_.TimeLines(timeClass);
  walked &= classes_.DateLines(dateClass);
  walked &= firstOfSchedule_;
  std::string raised;
  LineSet ran = Runs(walked, end, raised);
  if (!raised.empty())
    Disagree("a line raised where none was foreseen");
  if (first >= 0) {
    ran.Set(first);
    try {
      WalkTasks(now_, table_, {end}, [&](const AnsiString&, int) { return true; });
    } catch (const EStringListError& e) {
      raised = e.Message();
    }
    if (raised != EStringListError(lines_[static_cast<std::size_t>(first)].raises).Message())
      Disagree("the line foreseen to raise did not raise so");
  }
  LineSet expected = acting;
  expected &= firstOfSchedule_;
  if (ran != expected)
    Disagree("other lines acted than foreseen");
  return acting;
}

void WalkJudge::Disagree(const char* what) const {
  throw std::logic_error(std::string("qefcheck's search and the executer's walk disagree at ") +
                         MinuteText(at_) + ": " + what);
}

}  // namespace pendulon
