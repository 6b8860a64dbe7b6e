#pragma once
// The opt-in run log, lib\pendulon.log beside the task files: one line per event while that
// file exists, appended with the file opened and closed again at once. The program never
// creates it, except for the fresh file begun when it rolls over past 1 MiB (the old one
// becomes pendulon.log.1). Nothing that happens to the log reaches the executer: every
// failure is dropped.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "launcher/RunItem.h"
#include "platform/AnsiString.h"
#include "platform/HostSystem.h"
#include "runlog/RunLogFormat.h"
#include "scheduler/TaskScheduler.h"

namespace pendulon {

class RunLog final : public LoadObserver, public WalkObserver {
 public:
  static constexpr std::uint64_t kRollOverSize = 1024 * 1024;

  // Takes the log's path beside the executable and the moment the process started.
  explicit RunLog(HostSystem& host);
  // The same log at another path (a tool, or a measurement on a native file system).
  RunLog(HostSystem& host, AnsiString path);
  RunLog(const RunLog&) = delete;
  RunLog& operator=(const RunLog&) = delete;

  // The minute now, for a launch that starts.
  AnsiString MinuteNow() noexcept;

  void Start(bool accepted) noexcept;
  void Loaded(Kind kind, const AnsiString& path, const TStringList& lines) noexcept override;
  void LoadFailed(Kind kind, const AnsiString& path, const AnsiString& error) noexcept override;
  void Launched(const AnsiString& minute, int line, const AnsiString& item,
                const LaunchRequest& request, std::intptr_t answer,
                std::uint64_t milliseconds) noexcept;
  void LaunchedNothing(const AnsiString& minute, int line, const AnsiString& item,
                       const AnsiString& reason) noexcept;
  // A due line passed over in the minute now: a no-launch with the reason.
  void PassedOver(int line, const AnsiString& item, const AnsiString& reason) noexcept override;
  // Gives the stamp of the opening, for the line that tells of the closing.
  AnsiString BoxOpened(const AnsiString& text) noexcept;
  void BoxClosed(const AnsiString& text, const AnsiString& openedAt) noexcept;
  // Only the first end is written: the session's end, a close and the loop's end may all come.
  void End(const char* reason) noexcept;

 private:
  using Fields = std::vector<std::string>;
  // Writes one line of the event if the log is on (a directory of that name turns nothing on),
  // first rolling it over when it has passed the limit. The fields, as many as the event has,
  // are gathered only when the log is on. Gives the line's time stamp, empty when the log is off.
  AnsiString Append(LogEvent event, const std::function<void(Fields&)>& gather) noexcept;

  HostSystem& host_;
  AnsiString path_;
  std::uint64_t started_;
  bool ended_ = false;
};

// Tells a launch of one due task line to the log, with the line and the minute it serves. One
// per launch, so that a launch made inside another's shell box keeps its own line.
class LaunchRecord final : public LaunchObserver {
 public:
  LaunchRecord(RunLog& log, int line) : log_(log), line_(line), minute_(log.MinuteNow()) {}

  void Launched(const AnsiString& item, const LaunchRequest& request, std::intptr_t answer,
                std::uint64_t milliseconds) override {
    log_.Launched(minute_, line_, item, request, answer, milliseconds);
  }
  void LaunchedNothing(const AnsiString& item, const AnsiString& reason) override {
    log_.LaunchedNothing(minute_, line_, item, reason);
  }

 private:
  RunLog& log_;
  int line_;
  AnsiString minute_;
};

}  // namespace pendulon
