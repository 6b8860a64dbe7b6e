#pragma once
// Reads the executer's run log (lib\pendulon.log, and pendulon.log.1 before it) into what
// qefcheck reports: the last launch or launch of nothing of each task line, and the most recent
// failures. It reads only regular files, at most the last 16 MiB of each, and keeps only what
// the report shows, so that neither its time nor its memory grows with the log. A line that is
// malformed or cut short is skipped; reading never writes and never fails the check.

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "checker/log/ProcessHistory.h"
#include "platform/FileReader.h"
#include "platform/Links.h"
#include "runlog/RunLogFormat.h"

namespace pendulon {

struct RunLogRecord {
  // launch, no-launch, waiting, box-open or load-failed; no-walk and not-examined as gaps
  LogEvent event = LogEvent::kLaunch;
  std::string time;      // the line's stamp, as written
  std::string minute;    // launch, no-launch, waiting, not-examined: the minute; no-walk: its first
  std::string until;     // no-walk: its last minute
  int line = 0;          // launch, no-launch, waiting: the task line; not-examined: the first one
  std::string missed;    // a gap made a line's last run: the line's minute that went by
  bool startUp = false;  // a gap of the minutes a start passes over; its text says it all
  std::string item;
  std::string file;         // launch: the file handed to the shell
  std::int64_t answer = 0;  // launch: the shell's answer
  std::string meaning;      // launch: the answer in words
  std::string text;         // no-launch and gaps: why; box: its text; load-failed: the error
  std::string loadKind;     // load-failed: first, reload or retry
  std::string path;         // load-failed: the task file
  LogEntry entry;           // the whole line, for its words
  int order = 0;            // its place among the records read, for which came later
  std::optional<std::int64_t> utcMs;  // when it was written, from its stamp
  int repeats = 1;                    // failures: how many alike were read, this the last of them
  std::string firstTime;              // failures repeated: the first one's stamp

  // A launch the shell answered with 32 or below, an error box, or a failed load.
  bool Failed() const {
    return event == LogEvent::kLaunch
               ? ShellAnswerFailed(answer)
               : event == LogEvent::kBoxOpen || event == LogEvent::kLoadFailed;
  }
};

struct RunLogFile {
  AnsiString path;
  std::string notRead;  // why it was not read ("it is a pipe, not a file"); empty when it was
  bool tail = false;    // only its last 16 MiB were read, and its lines are counted from there
};

struct MalformedLine {
  std::size_t file = 0;  // in RunLogSummary::files
  int line = 0;          // from 1
};

struct RunLogSummary {
  static constexpr std::size_t kMostFailures = 10;
  static constexpr std::size_t kMostNamed = 5;
  static constexpr std::size_t kMostGaps = 32;

  std::vector<RunLogFile> files;           // the files there, oldest first
  int records = 0;                         // well-formed lines
  int skipped = 0;                         // malformed or cut-short lines
  std::vector<MalformedLine> malformed;    // the first few of them
  std::string error;                       // a file that is there but could not be read
  std::map<int, RunLogRecord> lastByLine;  // the last launch or no-launch of each task line
  // The most recent distinct failures, newest first, each with how often it happened.
  std::vector<RunLogRecord> failures;
  // The most recent minutes no walk served (no-walk) and walks that ended before lines
  // (not-examined), newest first: a line's last run, when it was due in one of them.
  std::vector<RunLogRecord> gaps;
  std::optional<ProcessRun> lastStart;  // the executer's last start, and its end if logged
  std::vector<std::int64_t> loads;      // when each load of the task file was written, UTC ms
  // Why the executer cannot write the log, with the fix; empty when it can, or when not asked.
  std::string cannotWrite;

  // True when a file of the log is there, not only a folder, a pipe or a device of its name.
  bool AnyLogFile() const;
};

// Reads pendulon.log.1 and then pendulon.log from their path; of a file past 16 MiB only its
// end, and none that is a link (told apart by links, when given). Keeps the last record only of
// the task lines given. Nothing when neither file is there.
std::optional<RunLogSummary> ReadRunLog(FileReader& files, const AnsiString& logPath,
                                        const std::set<int>& taskLines, Links* links = nullptr);

}  // namespace pendulon
