#pragma once
// qefcheck --follow: each event of the run log in words as the executer writes it, from the last
// few already written on. It goes on across a roll-over to pendulon.log.1, reading the end of
// the old file before the fresh one, and waits for a log that is not there yet or was deleted,
// saying so once. It reads as qefcheck reads the log elsewhere: files only, nothing through a
// link, never holding the file open between looks, so the executer can always append and roll
// it over.

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "checker/log/LogFileReading.h"
#include "platform/FileReader.h"
#include "platform/Links.h"
#include "platform/WriteAccess.h"
#include "runlog/RunLogLines.h"

namespace pendulon {

class LogFollower {
 public:
  // links and access may be null where the system has none.
  LogFollower(FileReader& files, Links* links, const AnsiString& logPath, std::ostream& out,
              WriteAccess* access = nullptr);

  // The last events already in the log and the file before it, at most count of them.
  void ShowRecent(std::size_t count);
  // Says each event written since the last look, and a log that went or is not there.
  void Look();

 private:
  enum class State { kUnknown, kFollowing, kWaiting };

  // Reads the file from offset on into lines. Nothing is read from what is no plain file.
  LogFileReading ReadFrom(const AnsiString& path, std::uint64_t offset, RunLogLines& lines);
  // Says why the log is not followed now, once for each time it stops being there or the cause
  // changes: it is missing, a link, or no file of the kind kNotAFile + FileKind.
  enum Cause { kMissing, kLink, kNotAFile };
  void Wait(const std::string& why, int cause);
  void WaitForLink(const AnsiString& target);
  void Say(const std::optional<LogEntry>& entry);
  // Says, when it changes, whether the executer could write the log it follows: a log it cannot
  // append to loses every record silently, as does one another program holds.
  void TellWriting(bool opened);

  FileReader& files_;
  Links* links_;
  WriteAccess* access_;
  AnsiString path_;
  std::string cannotWrite_;  // what was said of writing the log; empty: nothing, or it can
  // The process ids of the starts followed that have no end yet, the latest last.
  static constexpr std::size_t kMostCopies = 8;
  std::vector<std::string> copies_;
  std::ostream& out_;
  State state_ = State::kUnknown;
  int waitCause_ = kMissing;
  std::uint64_t offset_ = 0;  // bytes of the log read
  FileTime lastWrite_ = 0;    // the log's write time when last read
  std::unique_ptr<RunLogLines> lines_;
  std::deque<std::string>* recent_ = nullptr;  // collects instead of saying, for ShowRecent
  std::size_t recentCount_ = 0;                // and keeps so many of the last
};

}  // namespace pendulon
