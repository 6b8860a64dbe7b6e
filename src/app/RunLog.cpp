#include "app/RunLog.h"

#include <string>

#include "Version.h"
#include "app/RunLogFormat.h"
#include "platform/Process.h"

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

// Closes a log handle on every path out.
class Closer {
 public:
  Closer(FileSystem& files, FileHandle file) : files_(files), file_(file) {}
  ~Closer() { files_.Close(file_); }
  Closer(const Closer&) = delete;
  Closer& operator=(const Closer&) = delete;

 private:
  FileSystem& files_;
  FileHandle file_;
};

}  // namespace

RunLog::RunLog(HostSystem& host) : RunLog(host, ExeDirectory(host) + "\\lib\\pendulon.log") {}

RunLog::RunLog(HostSystem& host, AnsiString path)
    : host_(host), path_(std::move(path)), started_(host.Milliseconds()) {}

bool RunLog::On() noexcept {
  try {
    const FoundFile found = host_.FindFile(path_);
    return found.found && !found.directory;
  } catch (...) {
    return false;
  }
}

AnsiString RunLog::MinuteNow() noexcept {
  try {
    return On() ? MinuteText(host_.LocalTime()) : AnsiString();
  } catch (...) {
    return AnsiString();
  }
}

AnsiString RunLog::Stamp() {
  return TimeStamp(host_.LocalTime(), host_.UtcOffsetMinutes());
}

void RunLog::Start(bool accepted) noexcept {
  try {
    if (!On())
      return;
    const std::string pid = std::to_string(host_.ProcessId());
    Append({"start", kVersion, ExePath(host_), pid, accepted ? "accepted" : "refused"});
  } catch (...) {
  }
}

void RunLog::Loaded(Kind kind, const AnsiString& path, const TStringList& lines) noexcept {
  try {
    if (!On())
      return;
    int tasks = 0;
    for (int i = 0; i < lines.Count(); ++i) {
      const std::string_view line = lines.Get(i);
      if (!line.empty() && line[0] != '#')
        ++tasks;
    }
    Append({"load", KindText(kind), path, std::to_string(lines.Count()), std::to_string(tasks)});
  } catch (...) {
  }
}

void RunLog::LoadFailed(Kind kind, const AnsiString& path, const AnsiString& error) noexcept {
  Append({"load-failed", KindText(kind), path, error});
}

void RunLog::Launched(const AnsiString& minute, int line, const AnsiString& item,
                      const LaunchRequest& request, std::intptr_t answer,
                      std::uint64_t milliseconds) noexcept {
  try {
    if (!On())
      return;
    Append({"launch", minute, std::to_string(line), item, request.verb, request.file,
            request.parameters, request.directory, std::to_string(answer),
            ShellAnswerMeaning(answer), std::to_string(milliseconds)});
  } catch (...) {
  }
}

void RunLog::LaunchedNothing(const AnsiString& minute, int line, const AnsiString& item,
                             const AnsiString& reason) noexcept {
  try {
    if (!On())
      return;
    Append({"no-launch", minute, std::to_string(line), item, reason});
  } catch (...) {
  }
}

AnsiString RunLog::BoxOpened(const AnsiString& text) noexcept {
  try {
    if (!On())
      return AnsiString();
    AnsiString stamp = Stamp();
    Append({"box-open", text});
    return stamp;
  } catch (...) {
    return AnsiString();
  }
}

void RunLog::BoxClosed(const AnsiString& text, const AnsiString& openedAt) noexcept {
  Append({"box-closed", text, openedAt});
}

void RunLog::End(const char* reason) noexcept {
  if (ended_)
    return;
  ended_ = true;
  try {
    if (!On())
      return;
    Append({"end", reason, std::to_string(host_.Milliseconds() - started_)});
  } catch (...) {
  }
}

void RunLog::Append(std::initializer_list<std::string_view> fields) noexcept {
  try {
    const FoundFile found = host_.FindFile(path_);
    if (!found.found || found.directory)
      return;
    std::uint32_t disposition = kOpenExisting;
    // Rolled over only once the rename worked; otherwise the old file simply grows.
    if (found.size > kRollOverSize && host_.Rename(path_, path_ + ".1"))
      disposition = kOpenAlways;
    const AnsiString line = LogLine(Stamp(), fields);
    const FileHandle file =
        host_.OpenFile(path_, kAppendData, kShareRead | kShareWrite, disposition);
    if (file == kInvalidFile)
      return;
    const Closer closer(host_, file);
    std::uint32_t written = 0;
    host_.Write(file, line.data(), static_cast<std::uint32_t>(line.size()), written);
  } catch (...) {
    // A log that cannot be written is no reason to stop a launch.
  }
}

}  // namespace pendulon
