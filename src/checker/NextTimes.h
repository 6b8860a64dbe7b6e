#pragma once
// When a task line acts next: the local minutes in which it runs its item or raises its error
// and no line above raises first. The line's own fields give the candidate minutes; the
// executer's minute walk decides each of them.

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

// 400 years and one: the calendar repeats every 400 years, so within this many days every
// minute of every kind occurs.
constexpr int kHorizonDays = 146097 + 366;

// The first count minutes after `after` and within horizonDays days of it in which line acts
// and no line of `above` (lines above it that raise) ends the walk first, found by the real walk
// on a stopped clock. Empty over the whole horizon: the line never acts.
std::vector<LocalMinute> NextTimes(const TimedLine& line, const std::vector<TimedLine>& above,
                                   const LocalMinute& after, int count,
                                   int horizonDays = kHorizonDays);

}  // namespace pendulon
