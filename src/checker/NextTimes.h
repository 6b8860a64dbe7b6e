#pragma once
// When a task line acts next: the minutes its own fields give in which it runs its item or
// raises and no line above raises first, each decided by the executer's minute walk.

#include <vector>

#include "checker/Schedule.h"
#include "platform/AnsiString.h"

namespace pendulon {

// A task line as the search needs it.
struct TimedLine {
  AnsiString text;  // the line itself, for the walk
  Schedule when;    // the minutes it acts in
  int raises = -1;  // the list index it raises then; -1 when it runs its item
};

// The first count minutes after `after` in which line acts and no line of `above` (lines above
// it that raise) ends the walk first, found by the real walk on a stopped clock. Empty when
// there is none within 400 years and one, after which the calendar repeats: the line never acts.
std::vector<LocalMinute> NextTimes(const TimedLine& line, const std::vector<TimedLine>& above,
                                   const LocalMinute& after, int count);

}  // namespace pendulon
