#pragma once
// The opt-in run log, lib\pendulon.log beside the task files: one line per event while that
// file exists, appended with the file opened and closed again at once. The program never
// creates it, except for the fresh file begun when it rolls over past 1 MiB (the old one
// becomes pendulon.log.1). Nothing that happens to the log reaches the executer, but nothing
// vanishes without a mark either: records that could not be written are counted and the count
// heads the next line written, and a log that cannot roll over stops at 4 MiB with a last line
// that says why.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "launcher/LaunchItem.h"
#include "platform/AnsiString.h"
#include "platform/HostSystem.h"
#include "runlog/RunLogFormat.h"
#include "runlog/RunLogWords.h"
#include "scheduler/TaskScheduler.h"
#include "scheduler/WalkObserver.h"

namespace pendulon {

class RunLogWriter final : public LoadObserver, public WalkObserver {
 public:
  // Takes the log's path beside the executable and the moment the process started.
  explicit RunLogWriter(HostSystem& host);
  // The same log at another path (a tool, or a measurement on a native file system).
  RunLogWriter(HostSystem& host, AnsiString path);
  RunLogWriter(const RunLogWriter&) = delete;
  RunLogWriter& operator=(const RunLogWriter&) = delete;

  void Start(bool accepted) noexcept;
  void Loaded(Kind kind, const AnsiString& path, const TStringList& lines,
              const std::optional<SystemTime>& firstWalk) noexcept override;
  void LoadFailed(Kind kind, const AnsiString& path, const AnsiString& error,
                  const std::optional<SystemTime>& firstWalk) noexcept override;
  void Launched(const AnsiString& minute, int line, const AnsiString& item,
                const LaunchRequest& request, std::intptr_t answer,
                std::uint64_t milliseconds) noexcept;
  void LaunchedNothing(const AnsiString& minute, int line, const AnsiString& item,
                       const AnsiString& reason) noexcept;
  // A due line passed over: a no-launch with the reason.
  void PassedOver(const SystemTime& minute, int line, const AnsiString& item,
                  const AnsiString& reason) noexcept override;
  void StillWaiting(const SystemTime& minute, int line, const AnsiString& item,
                    const SystemTime& since) noexcept override;
  void NotExamined(const SystemTime& minute, int fromLine,
                   const AnsiString& reason) noexcept override;
  void NotWalked(const SystemTime& first, const SystemTime& last,
                 const AnsiString& reason) noexcept override;
  void WalkedLate(const SystemTime& minute, std::uint32_t milliseconds,
                  const AnsiString& reason) noexcept override;
  void ClockSetBack(const SystemTime& from, const SystemTime& to, bool walkedAgain,
                    const AnsiString& reason) noexcept override;
  // Gives the stamp of the opening, for the line that tells of the closing. line: the task line
  // whose walk raised the error, 0 for none.
  AnsiString BoxOpened(const AnsiString& text, int line) noexcept;
  void BoxClosed(const AnsiString& text, const AnsiString& openedAt) noexcept;
  // Only the first end is written: the session's end, a close and the loop's end may all come.
  // Nothing is written after it.
  void End(const char* reason) noexcept;

 private:
  using Fields = std::vector<std::string>;
  // Writes one line of the event if the log is on (a directory of that name turns nothing on),
  // first rolling it over when it has passed the limit. The fields, as many as the event has,
  // are gathered only when the log is on. Gives the line's time stamp, empty when the log is off.
  AnsiString Append(LogEvent event, const std::function<void(Fields&)>& gather) noexcept;
  // The line, headed by a line with the count of records lost before it, if any were.
  AnsiString WithLostNotice(const AnsiString& line) const;
  // Writes the text; false when it is lost too.
  bool Write(const AnsiString& text, bool create) noexcept;
  // Counts one more record that could not be written, and why.
  void Lost(const char* reason) noexcept;

  HostSystem& host_;
  AnsiString path_;
  std::uint64_t started_;
  bool ended_ = false;
  bool freshOwed_ = false;  // rolled over, but the fresh file could not be made yet
  bool stopSaid_ = false;   // the log has said why it stopped growing
  std::uint64_t lost_ = 0;  // records not written since the last line that was
  const char* lostReason_ = "";
};

// Tells a launch of one due task line to the log, with the line and the minute it serves. One
// per launch, so that a launch made inside another's shell box keeps its own line.
class LaunchRecord final : public LaunchObserver {
 public:
  LaunchRecord(RunLogWriter& log, int line, const SystemTime& minute)
      : log_(log), line_(line), minute_(MinuteText(minute)) {}

  void Launched(const AnsiString& item, const LaunchRequest& request, std::intptr_t answer,
                std::uint64_t milliseconds) override {
    log_.Launched(minute_, line_, item, request, answer, milliseconds);
  }
  void LaunchedNothing(const AnsiString& item, const AnsiString& reason) override {
    log_.LaunchedNothing(minute_, line_, item, reason);
  }

 private:
  RunLogWriter& log_;
  int line_;
  AnsiString minute_;
};

}  // namespace pendulon
