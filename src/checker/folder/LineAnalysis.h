#pragma once
// The judgement of every line of a task file: split and matched as the executer does it, then
// worded, with each line's next times and launch.

#include <vector>

#include "checker/folder/LineReport.h"
#include "checker/launch/LaunchExplanation.h"
#include "checker/search/Schedule.h"
#include "platform/StringList.h"
#include "platform/TimeZone.h"

namespace pendulon {

// Judges every line; next times are counted from the minute after now, on the zone's clock.
std::vector<LineReport> AnalyseLines(const TStringList& lines, LaunchExplainer& launches,
                                     TimeZone& zone, const LocalMinute& now, int nextCount = 3);

}  // namespace pendulon
