#pragma once
// Reads the executer's run log (lib\pendulon.log, and pendulon.log.1 before it) into the records
// qefcheck reports: launches, launches of nothing, error boxes and failed loads. A line that is
// malformed or cut short is skipped; reading never writes and never fails the check.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"

namespace pendulon {

struct RunLogRecord {
  // kOther: a well-formed line of a kind the report does not use (start, load, end, ...).
  enum class Kind { kLaunch, kNoLaunch, kBox, kLoadFailed, kOther };
  Kind kind = Kind::kLaunch;
  std::string time;    // the line's stamp, as written
  std::string minute;  // launch and no-launch: the minute served
  int line = 0;        // launch and no-launch: the task line
  std::string item;
  std::string file;         // launch: the file handed to the shell
  std::int64_t answer = 0;  // launch: the shell's answer
  std::string meaning;      // launch: the answer in words
  std::string text;         // no-launch: why; box: its text; load-failed: the error
  std::string loadKind;     // load-failed: first, reload or retry
  std::string path;         // load-failed: the task file

  // A launch the shell answered with 32 or below, an error box, or a failed load.
  bool Failed() const {
    return kind == Kind::kLaunch ? answer <= 32 : kind == Kind::kBox || kind == Kind::kLoadFailed;
  }
};

// The event's name as the log writes it: "launch", "no-launch", "box-open", "load-failed".
const char* RunLogEventName(RunLogRecord::Kind kind);

// One line of the log, without its line end; nothing for a malformed line: a bad stamp, too
// few fields for its kind, a bad number or a bad escape.
std::optional<RunLogRecord> ParseRunLogLine(std::string_view line);

struct RunLogSummary {
  std::vector<AnsiString> files;           // the files read, oldest first
  int records = 0;                         // well-formed lines
  int skipped = 0;                         // malformed or cut-short lines
  std::string error;                       // a file that is there but could not be read
  std::map<int, RunLogRecord> lastByLine;  // the last launch or no-launch of each task line
  std::vector<RunLogRecord> failures;      // the most recent failures, newest first
};

// Adds the records of one log's text, in order: the later record of a line replaces the earlier.
void ReadRunLogText(std::string_view text, RunLogSummary& summary);

// Keeps the newest failures, newest first.
void FinishRunLog(RunLogSummary& summary, std::size_t mostFailures = 10);

// Reads pendulon.log.1 and then pendulon.log from their path, of a file past 16 MiB only its
// end. Nothing when neither file is there.
std::optional<RunLogSummary> ReadRunLog(FileSystem& files, const AnsiString& logPath);

}  // namespace pendulon
