#pragma once
// Whether a task line's launch went by in a gap the run log tells of: minutes no walk served, or
// a walk that ended before the line. "Did my task run?" then has its answer.

#include <optional>
#include <vector>

#include "checker/folder/LineReport.h"
#include "checker/log/RunLogReader.h"

namespace pendulon {

// The newest gap, later than the line's last run, in a minute of which the line was due; the
// record with that minute as `missed`. Nothing when no such gap is in the log.
std::optional<RunLogRecord> MissedIn(const std::vector<RunLogRecord>& gapsNewestFirst,
                                     const LineReport& line);

}  // namespace pendulon
