#pragma once
// When a task line acts next: the local minutes in which it runs its item or raises its error,
// leaving out those in which a line above it raises first and so ends the walk.

#include <vector>

#include "checker/Calendar.h"
#include "checker/MatcherProbe.h"
#include "checker/Schedule.h"
#include "platform/AnsiString.h"

namespace pendulon {

// A task line as the search needs it.
struct TimedLine {
  AnsiString text;  // the line itself, for the matcher
  Schedule when;    // the minutes it acts in
  int raises = -1;  // the list index it raises then; -1 when it runs its item
};

// 400 years and one: within the calendar's cycle every date falls on every weekday.
constexpr int kHorizonDays = 146097 + 366;

// The first count minutes after `after` and within horizonDays days of it in which line acts
// and none of `above` raises. The schedules point to each minute; the matcher confirms it.
std::vector<LocalMinute> NextTimes(const TimedLine& line, const std::vector<TimedLine>& above,
                                   const LocalMinute& after, int count, MatcherProbe& probe,
                                   int horizonDays = kHorizonDays);

}  // namespace pendulon
