#pragma once
// When each task line acts next: the minutes in which the executer's walk runs its item or ends
// by raising on it, on the machine's local clock, found for the whole task file in one search.

#include <vector>

#include "checker/search/MinuteClasses.h"
#include "checker/search/Schedule.h"
#include "platform/StringList.h"
#include "platform/TimeZone.h"

namespace pendulon {

struct NextTime {
  LocalMinute at;
  bool twice = false;  // the clock is set back over it, and the walk runs in it twice

  auto operator<=>(const NextTime&) const = default;
};

// A minute in which a line would act, but which the local clock jumps over.
struct SkippedMinute {
  LocalMinute at;
  LocalMinute from, to;  // the clock goes from `from` straight to `to`
};

struct LineTimes {
  bool acts = false;  // in some minute of the calendar, whether the clock shows it or not
  std::vector<NextTime> next;
  // The minutes the clock skips before the last of next (all of them, up to count, when next
  // is short).
  std::vector<SkippedMinute> skipped;
};

// For each of lines (the table's task lines that can match, in file order): whether it ever acts
// and the first count minutes after `after` in which it does, within 400 years and one, after
// which the calendar repeats. Every minute given is one the executer's walk of the table was seen
// to act in; a walk that differs from what the lines' fields predict raises std::logic_error.
std::vector<LineTimes> FindNextTimes(const TStringList& table, const std::vector<TimedLine>& lines,
                                     TimeZone& zone, const LocalMinute& after, int count);

}  // namespace pendulon
