#pragma once
// What the run log's events say, in words: one sentence for each event of the shared format,
// used by the report (each line's last run, the recent failures, whether the executer runs) and
// by --follow alike, so that both always say the same. Each event of the format has its row in
// one table; a new event cannot be added without its sentence.

#include <string>
#include <string_view>

#include "runlog/RunLogFormat.h"

namespace pendulon {

// What happened, after the event's time: 'line 5 "Report": the shell answered 3 (path not
// found) for C:\Reports\report.exe'. Every field passes the printable form.
std::string EventWords(const LogEntry& entry);

// Why the executer ended, as the end event gives it: "the family's windows were gone" for
// "family gone"; a reason the executer never gives, as written.
std::string EndReasonWords(std::string_view reason);

// A stamp or a minute of the log as the reports write times ("Wed 2026-12-09 08:30"), with its
// seconds when asked; as written when it is neither.
std::string LogTime(std::string_view text, bool seconds = false);

}  // namespace pendulon
