#include "app/RunLogWriter.h"

#include <algorithm>
#include <string>
#include <vector>

#include "Version.h"
#include "platform/Files.h"
#include "platform/FolderFiles.h"
#include "platform/Process.h"
#include "scheduler/TaskLine.h"
#include "scheduler/WalkWords.h"

namespace pendulon {
namespace {

// Why records go unwritten, as the lost notice says.
constexpr const char* kCannotRollOver = "the log could not roll over";
constexpr const char* kCannotOpen =
    "the log could not be opened: locked, read-only, or its folder is gone";
constexpr const char* kWriteFailed = "a write failed: the disk may be full";
constexpr const char* kNotMade = "the record could not be made";
constexpr const char* kStopReason =
    "the log passed 4 MiB and cannot be renamed to pendulon.log.1; it goes on once it can";

LogEntry StopLine(const AnsiString& stamp) {
  return LogEntry{stamp, LogEvent::kLogStopped, {kStopReason}};
}

// The room a log near its bound keeps for the line that says why it stops, headed by a lost
// notice of any count.
std::size_t StopLineRoom() {
  static const std::size_t room = [] {
    const std::string stamp(kTimeStampLength, '0');
    std::size_t notice = 0;
    for (const char* reason : {kCannotRollOver, kCannotOpen, kWriteFailed, kNotMade})
      notice = std::max(
          notice,
          LogLine(LogEntry{stamp, LogEvent::kLost, {"18446744073709551615", reason}}).size());
    return LogLine(StopLine(stamp)).size() + notice;
  }();
  return room;
}

const char* KindText(LoadObserver::Kind kind) {
  switch (kind) {
    case LoadObserver::Kind::kFirst:
      return kLoadFirst;
    case LoadObserver::Kind::kReload:
      return kLoadReload;
    case LoadObserver::Kind::kRetry:
      return kLoadRetry;
  }
  return "";
}

}  // namespace

RunLogWriter::RunLogWriter(HostSystem& host)
    : RunLogWriter(host, LibFile(ExeDirectory(host), kRunLogFile)) {}

RunLogWriter::RunLogWriter(HostSystem& host, AnsiString path)
    : host_(host), path_(std::move(path)), started_(host.Milliseconds()) {}

// Each event only gathers its fields: Append looks once whether the log is on, and drops every
// failure, its own and theirs.
void RunLogWriter::Start(bool accepted) noexcept {
  Append(LogEvent::kStart, [&](Fields& f) {
    f[StartField::kVersion] = kVersion;
    f[StartField::kExecutable] = ExePath(host_);
    f[StartField::kProcessId] = std::to_string(host_.ProcessId());
    f[StartField::kOutcome] = accepted ? kStartAccepted : kStartRefused;
  });
}

void RunLogWriter::Loaded(Kind kind, const AnsiString& path, const TStringList& lines,
                          const std::optional<SystemTime>& firstWalk) noexcept {
  Append(LogEvent::kLoad, [&](Fields& f) {
    int tasks = 0;
    for (int i = 0; i < lines.Count(); ++i) tasks += IsTaskLine(lines.Get(i)) ? 1 : 0;
    f[LoadField::kKind] = KindText(kind);
    f[LoadField::kPath] = path;
    f[LoadField::kLines] = std::to_string(lines.Count());
    f[LoadField::kTaskLines] = std::to_string(tasks);
    if (firstWalk)
      f[LoadField::kFirstWalk] = MinuteText(*firstWalk);
  });
}

void RunLogWriter::LoadFailed(Kind kind, const AnsiString& path, const AnsiString& error,
                              const std::optional<SystemTime>& firstWalk) noexcept {
  Append(LogEvent::kLoadFailed, [&](Fields& f) {
    f[LoadFailedField::kKind] = KindText(kind);
    f[LoadFailedField::kPath] = path;
    f[LoadFailedField::kError] = error;
    if (firstWalk)
      f[LoadFailedField::kFirstWalk] = MinuteText(*firstWalk);
  });
}

void RunLogWriter::Launched(const AnsiString& minute, int line, const AnsiString& item,
                            const LaunchRequest& request, std::intptr_t answer,
                            std::uint64_t milliseconds) noexcept {
  Append(LogEvent::kLaunch, [&](Fields& f) {
    f[LaunchField::kMinute] = minute;
    f[LaunchField::kLine] = std::to_string(line);
    f[LaunchField::kItem] = item;
    f[LaunchField::kVerb] = request.verb;
    f[LaunchField::kFile] = request.file;
    f[LaunchField::kParameters] = request.parameters;
    f[LaunchField::kDirectory] = request.directory;
    f[LaunchField::kAnswer] = std::to_string(answer);
    f[LaunchField::kMeaning] = ShellAnswerMeaning(answer);
    f[LaunchField::kMilliseconds] = std::to_string(milliseconds);
  });
}

void RunLogWriter::LaunchedNothing(const AnsiString& minute, int line, const AnsiString& item,
                                   const AnsiString& reason) noexcept {
  Append(LogEvent::kNoLaunch, [&](Fields& f) {
    f[NoLaunchField::kMinute] = minute;
    f[NoLaunchField::kLine] = std::to_string(line);
    f[NoLaunchField::kItem] = item;
    f[NoLaunchField::kReason] = reason;
  });
}

void RunLogWriter::PassedOver(const SystemTime& minute, int line, const AnsiString& item,
                              const AnsiString& reason) noexcept {
  try {
    LaunchedNothing(MinuteText(minute), line, item, reason);
  } catch (...) {
    // No minute, no record; the executer goes on.
  }
}

void RunLogWriter::StillWaiting(const SystemTime& minute, int line, const AnsiString& item,
                                const SystemTime& since) noexcept {
  Append(LogEvent::kWaiting, [&](Fields& f) {
    f[WaitingField::kMinute] = MinuteText(minute);
    f[WaitingField::kLine] = std::to_string(line);
    f[WaitingField::kItem] = item;
    f[WaitingField::kSince] = TimeOfDay(since);
  });
}

void RunLogWriter::NotExamined(const SystemTime& minute, int fromLine,
                               const AnsiString& reason) noexcept {
  Append(LogEvent::kNotExamined, [&](Fields& f) {
    f[NotExaminedField::kMinute] = MinuteText(minute);
    f[NotExaminedField::kLine] = std::to_string(fromLine);
    f[NotExaminedField::kReason] = reason;
  });
}

void RunLogWriter::NotWalked(const SystemTime& first, const SystemTime& last,
                             const AnsiString& reason) noexcept {
  Append(LogEvent::kNoWalk, [&](Fields& f) {
    f[NoWalkField::kFirst] = MinuteText(first);
    f[NoWalkField::kLast] = MinuteText(last);
    f[NoWalkField::kReason] = reason;
  });
}

void RunLogWriter::WalkedLate(const SystemTime& minute, std::uint32_t milliseconds,
                              const AnsiString& reason) noexcept {
  Append(LogEvent::kLateWalk, [&](Fields& f) {
    f[LateWalkField::kMinute] = MinuteText(minute);
    f[LateWalkField::kMilliseconds] = std::to_string(milliseconds);
    f[LateWalkField::kReason] = reason;
  });
}

void RunLogWriter::ClockSetBack(const SystemTime& from, const SystemTime& to, bool walkedAgain,
                                const AnsiString& reason) noexcept {
  Append(LogEvent::kClockBack, [&](Fields& f) {
    f[ClockBackField::kFrom] = MinuteText(from);
    f[ClockBackField::kTo] = MinuteText(to);
    f[ClockBackField::kMinutes] = walkedAgain ? kWalkedAgain : kNotWalkedAgain;
    f[ClockBackField::kReason] = reason;
  });
}

AnsiString RunLogWriter::BoxOpened(const AnsiString& text, int line) noexcept {
  return Append(LogEvent::kBoxOpen, [&](Fields& f) {
    f[BoxOpenField::kText] = text;
    if (line > 0)
      f[BoxOpenField::kLine] = std::to_string(line);
  });
}

void RunLogWriter::BoxClosed(const AnsiString& text, const AnsiString& openedAt) noexcept {
  Append(LogEvent::kBoxClosed, [&](Fields& f) {
    f[BoxClosedField::kText] = text;
    f[BoxClosedField::kOpenedAt] = openedAt;
  });
}

void RunLogWriter::End(const char* reason) noexcept {
  if (ended_)
    return;
  Append(LogEvent::kEnd, [&](Fields& f) {
    f[EndField::kReason] = reason;
    f[EndField::kMilliseconds] = std::to_string(host_.Milliseconds() - started_);
  });
  ended_ = true;
}

AnsiString RunLogWriter::Append(LogEvent event,
                                const std::function<void(Fields&)>& gather) noexcept {
  AnsiString stamp;
  // The end is the last line: a launch that returns after it is not told.
  if (ended_)
    return stamp;
  try {
    const FoundFile found = host_.FindFile(path_);
    // The log is on while the file exists, or while the fresh one a roll-over owes is missing.
    if (found.directory || (!found.found && !freshOwed_))
      return stamp;
    LogEntry entry;
    entry.event = event;
    entry.fields.resize(FieldCount(event));
    gather(entry.fields);
    stamp = TimeStamp(host_.LocalTime(), host_.UtcOffsetMinutes());
    entry.stamp = stamp;
    const AnsiString line = LogLine(entry);
    if (!found.found) {
      Write(WithLostNotice(line), true);
      return stamp;
    }
    if (found.size > kRunLogRollOver) {
      // The handle that measures is the one that renames: the roll-over then moves the very
      // file it measured, never a fresh one another executer has begun meanwhile.
      const FileHandle file =
          host_.OpenFile(path_, kDelete | kAppendData, kRunLogShare, kOpenExisting);
      const FileCloser closer(host_, file);
      std::uint64_t size = 0;
      if (file != kInvalidFile && host_.SizeOf(file, size) && size > kRunLogRollOver &&
          host_.RenameOpenFile(file, OlderRunLog(path_))) {
        freshOwed_ = true;
        stopSaid_ = false;
      }
    }
    if (freshOwed_) {
      Write(WithLostNotice(line), true);
      return stamp;
    }
    // A log that cannot roll over stops growing at 4 MiB, whatever the record, and keeps the
    // room for its last line, which says why, once.
    const AnsiString text = WithLostNotice(line);
    if ((stopSaid_ && found.size > kRunLogRollOver) ||
        found.size + text.size() + StopLineRoom() > kRunLogMost) {
      if (!stopSaid_) {
        const AnsiString stopText = WithLostNotice(LogLine(StopLine(stamp)));
        if (found.size + stopText.size() <= kRunLogMost)
          stopSaid_ = Write(stopText, false);
      }
      Lost(kCannotRollOver);
      return stamp;
    }
    Write(text, false);
  } catch (...) {
    // A log that cannot be written is no reason to stop a launch.
  }
  return stamp;
}

AnsiString RunLogWriter::WithLostNotice(const AnsiString& line) const {
  if (lost_ == 0)
    return line;
  LogEntry notice;
  notice.stamp = line.substr(0, kTimeStampLength);
  notice.event = LogEvent::kLost;
  notice.fields = {std::to_string(lost_), lostReason_};
  return LogLine(notice) + line;
}

bool RunLogWriter::Write(const AnsiString& text, bool create) noexcept {
  try {
    const FileHandle file =
        host_.OpenFile(path_, kAppendData, kRunLogShare, create ? kOpenAlways : kOpenExisting);
    const FileCloser closer(host_, file);
    if (file == kInvalidFile) {
      Lost(kCannotOpen);
      return false;
    }
    freshOwed_ = false;
    std::uint32_t written = 0;
    if (!host_.Write(file, text.data(), static_cast<std::uint32_t>(text.size()), written) ||
        written != text.size()) {
      Lost(kWriteFailed);
      return false;
    }
    lost_ = 0;
    return true;
  } catch (...) {
    Lost(kNotMade);
    return false;
  }
}

void RunLogWriter::Lost(const char* reason) noexcept {
  ++lost_;
  lostReason_ = reason;
}

}  // namespace pendulon
