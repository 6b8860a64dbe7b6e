#include "app/RunLog.h"

#include <string>
#include <vector>

#include "Version.h"
#include "platform/Files.h"
#include "platform/Process.h"
#include "scheduler/TaskLine.h"

namespace pendulon {
namespace {

const char* KindText(LoadObserver::Kind kind) {
  switch (kind) {
    case LoadObserver::Kind::kFirst:
      return "first";
    case LoadObserver::Kind::kReload:
      return "reload";
    case LoadObserver::Kind::kRetry:
      return "retry";
  }
  return "";
}

}  // namespace

RunLog::RunLog(HostSystem& host) : RunLog(host, ExeDirectory(host) + "\\lib\\pendulon.log") {}

RunLog::RunLog(HostSystem& host, AnsiString path)
    : host_(host), path_(std::move(path)), started_(host.Milliseconds()) {}

AnsiString RunLog::MinuteNow() noexcept {
  try {
    return MinuteText(host_.LocalTime());
  } catch (...) {
    return AnsiString();
  }
}

// Each event only gathers its fields: Append looks once whether the log is on, and drops every
// failure, its own and theirs.
void RunLog::Start(bool accepted) noexcept {
  Append(LogEvent::kStart, [&](Fields& f) {
    f[StartField::kVersion] = kVersion;
    f[StartField::kExecutable] = ExePath(host_);
    f[StartField::kProcessId] = std::to_string(host_.ProcessId());
    f[StartField::kOutcome] = accepted ? "accepted" : "refused";
  });
}

void RunLog::Loaded(Kind kind, const AnsiString& path, const TStringList& lines) noexcept {
  Append(LogEvent::kLoad, [&](Fields& f) {
    int tasks = 0;
    for (int i = 0; i < lines.Count(); ++i) tasks += IsTaskLine(lines.Get(i)) ? 1 : 0;
    f[LoadField::kKind] = KindText(kind);
    f[LoadField::kPath] = path;
    f[LoadField::kLines] = std::to_string(lines.Count());
    f[LoadField::kTaskLines] = std::to_string(tasks);
  });
}

void RunLog::LoadFailed(Kind kind, const AnsiString& path, const AnsiString& error) noexcept {
  Append(LogEvent::kLoadFailed, [&](Fields& f) {
    f[LoadFailedField::kKind] = KindText(kind);
    f[LoadFailedField::kPath] = path;
    f[LoadFailedField::kError] = error;
  });
}

void RunLog::Launched(const AnsiString& minute, int line, const AnsiString& item,
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

void RunLog::LaunchedNothing(const AnsiString& minute, int line, const AnsiString& item,
                             const AnsiString& reason) noexcept {
  Append(LogEvent::kNoLaunch, [&](Fields& f) {
    f[NoLaunchField::kMinute] = minute;
    f[NoLaunchField::kLine] = std::to_string(line);
    f[NoLaunchField::kItem] = item;
    f[NoLaunchField::kReason] = reason;
  });
}

void RunLog::PassedOver(int line, const AnsiString& item, const AnsiString& reason) noexcept {
  LaunchedNothing(MinuteNow(), line, item, reason);
}

AnsiString RunLog::BoxOpened(const AnsiString& text) noexcept {
  return Append(LogEvent::kBoxOpen, [&](Fields& f) { f[BoxOpenField::kText] = text; });
}

void RunLog::BoxClosed(const AnsiString& text, const AnsiString& openedAt) noexcept {
  Append(LogEvent::kBoxClosed, [&](Fields& f) {
    f[BoxClosedField::kText] = text;
    f[BoxClosedField::kOpenedAt] = openedAt;
  });
}

void RunLog::End(const char* reason) noexcept {
  if (ended_)
    return;
  ended_ = true;
  Append(LogEvent::kEnd, [&](Fields& f) {
    f[EndField::kReason] = reason;
    f[EndField::kMilliseconds] = std::to_string(host_.Milliseconds() - started_);
  });
}

AnsiString RunLog::Append(LogEvent event, const std::function<void(Fields&)>& gather) noexcept {
  AnsiString stamp;
  try {
    const FoundFile found = host_.FindFile(path_);
    if (!found.found || found.directory)
      return stamp;
    LogEntry entry;
    entry.event = event;
    entry.fields.resize(FieldCount(event));
    gather(entry.fields);
    stamp = TimeStamp(host_.LocalTime(), host_.UtcOffsetMinutes());
    entry.stamp = stamp;
    const AnsiString line = LogLine(entry);
    std::uint32_t written = 0;
    // Another executer may append, or roll over, at the same time.
    constexpr std::uint32_t kShareAll = kShareRead | kShareWrite | kShareDelete;
    {
      // Past the limit, the handle that appends may rename as well: the roll-over then moves
      // the very file it measured, never a fresh one another executer has begun meanwhile.
      FileHandle file = found.size > kRollOverSize
                            ? host_.OpenFile(path_, kAppendData | kDelete, kShareAll, kOpenExisting)
                            : kInvalidFile;
      const bool mayRename = file != kInvalidFile;
      // A reader that shares no renaming keeps the log from rolling over, not from growing.
      if (!mayRename)
        file = host_.OpenFile(path_, kAppendData, kShareAll, kOpenExisting);
      const FileCloser closer(host_, file);
      if (file == kInvalidFile)
        return stamp;  // turned off meanwhile, locked, or read-only: the line is lost
      std::uint64_t size = 0;
      // Rolled over only once the rename worked; otherwise the old file simply grows.
      if (!mayRename || !host_.SizeOf(file, size) || size <= kRollOverSize ||
          !host_.RenameOpenFile(file, path_ + ".1")) {
        host_.Write(file, line.data(), static_cast<std::uint32_t>(line.size()), written);
        return stamp;
      }
    }
    const FileHandle fresh = host_.OpenFile(path_, kAppendData, kShareAll, kOpenAlways);
    const FileCloser closer(host_, fresh);
    if (fresh != kInvalidFile)
      host_.Write(fresh, line.data(), static_cast<std::uint32_t>(line.size()), written);
  } catch (...) {
    // A log that cannot be written is no reason to stop a launch.
  }
  return stamp;
}

}  // namespace pendulon
