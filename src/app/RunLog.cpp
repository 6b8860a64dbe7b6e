#include "app/RunLog.h"

#include <string>
#include <vector>

#include "Version.h"
#include "app/RunLogFormat.h"
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
  Append([&](Fields& f) {
    f = {"start", kVersion, ExePath(host_), std::to_string(host_.ProcessId()),
         accepted ? "accepted" : "refused"};
  });
}

void RunLog::Loaded(Kind kind, const AnsiString& path, const TStringList& lines) noexcept {
  Append([&](Fields& f) {
    int tasks = 0;
    for (int i = 0; i < lines.Count(); ++i) tasks += IsTaskLine(lines.Get(i)) ? 1 : 0;
    f = {"load", KindText(kind), path, std::to_string(lines.Count()), std::to_string(tasks)};
  });
}

void RunLog::LoadFailed(Kind kind, const AnsiString& path, const AnsiString& error) noexcept {
  Append([&](Fields& f) { f = {"load-failed", KindText(kind), path, error}; });
}

void RunLog::Launched(const AnsiString& minute, int line, const AnsiString& item,
                      const LaunchRequest& request, std::intptr_t answer,
                      std::uint64_t milliseconds) noexcept {
  Append([&](Fields& f) {
    f = {"launch",
         minute,
         std::to_string(line),
         item,
         request.verb,
         request.file,
         request.parameters,
         request.directory,
         std::to_string(answer),
         ShellAnswerMeaning(answer),
         std::to_string(milliseconds)};
  });
}

void RunLog::LaunchedNothing(const AnsiString& minute, int line, const AnsiString& item,
                             const AnsiString& reason) noexcept {
  Append([&](Fields& f) { f = {"no-launch", minute, std::to_string(line), item, reason}; });
}

void RunLog::PassedOver(int line, const AnsiString& item, const AnsiString& reason) noexcept {
  LaunchedNothing(MinuteNow(), line, item, reason);
}

AnsiString RunLog::BoxOpened(const AnsiString& text) noexcept {
  return Append([&](Fields& f) { f = {"box-open", text}; });
}

void RunLog::BoxClosed(const AnsiString& text, const AnsiString& openedAt) noexcept {
  Append([&](Fields& f) { f = {"box-closed", text, openedAt}; });
}

void RunLog::End(const char* reason) noexcept {
  if (ended_)
    return;
  ended_ = true;
  Append([&](Fields& f) { f = {"end", reason, std::to_string(host_.Milliseconds() - started_)}; });
}

AnsiString RunLog::Append(const std::function<void(Fields&)>& gather) noexcept {
  AnsiString stamp;
  try {
    const FoundFile found = host_.FindFile(path_);
    if (!found.found || found.directory)
      return stamp;
    Fields fields;
    gather(fields);
    std::uint32_t disposition = kOpenExisting;
    // Rolled over only once the rename worked; otherwise the old file simply grows.
    if (found.size > kRollOverSize && host_.Rename(path_, path_ + ".1"))
      disposition = kOpenAlways;
    std::vector<std::string_view> views(fields.begin(), fields.end());
    stamp = TimeStamp(host_.LocalTime(), host_.UtcOffsetMinutes());
    const AnsiString line = LogLine(stamp, views);
    const FileHandle file =
        host_.OpenFile(path_, kAppendData, kShareRead | kShareWrite, disposition);
    const FileCloser closer(host_, file);
    if (file == kInvalidFile)
      return stamp;
    std::uint32_t written = 0;
    host_.Write(file, line.data(), static_cast<std::uint32_t>(line.size()), written);
  } catch (...) {
    // A log that cannot be written is no reason to stop a launch.
  }
  return stamp;
}

}  // namespace pendulon
