#include "launcher/RunItem.h"

#include <optional>
#include <string>

#include "launcher/Qeflib.h"
#include "platform/Exceptions.h"
#include "platform/Process.h"
#include "platform/Text.h"

namespace pendulon {
namespace {

// Reads the request with a reader of its own that is gone before the shell is asked: the shell
// may show a box during which further ticks launch again. Without a path, the reason is given
// when asked for.
std::optional<LaunchRequest> ReadRequest(FileSystem& files, ProcessInfo& process,
                                         const AnsiString& itemName, AnsiString* reason) {
  const TQEFile reader(files, process, LaunchFilePath(process));
  LaunchRequest request;
  request.file = reader.GetPath(itemName);
  if (request.file.empty()) {
    if (reason != nullptr)
      *reason = NothingLaunchedReason(reader, itemName);
    return std::nullopt;
  }
  request.verb = reader.GetAction(itemName);
  request.parameters = reader.GetParams(itemName);
  request.directory = reader.GetDir(itemName);
  return request;
}

void CompleteRequest(ProcessInfo& process, LaunchRequest& request) {
  if (request.verb.empty()) {
    request.verb = "open";
  }
  if (request.directory.empty()) {
    request.directory = DirectoryOf(process, request.file);
  }
}

AnsiString Line(std::int32_t index) {
  return "line " + std::to_string(index + 1);
}

}  // namespace

AnsiString LaunchFilePath(ProcessInfo& process) {
  return ExeDirectory(process) + "\\lib\\launch.qef";
}

void RunItem(FileSystem& files, ProcessInfo& process, Shell& shell, WindowHandle owner,
             const AnsiString& itemName) {
  std::optional<LaunchRequest> request = ReadRequest(files, process, itemName, nullptr);
  if (!request) {
    return;
  }
  CompleteRequest(process, *request);
  shell.ShellOpen(owner, request->verb, request->file, request->parameters, request->directory,
                  kSwRestore);
}

void RunItem(FileSystem& files, ProcessInfo& process, Shell& shell, WindowHandle owner,
             const AnsiString& itemName, SystemClock& clock, LaunchObserver& observer) {
  AnsiString reason;
  std::optional<LaunchRequest> request;
  try {
    request = ReadRequest(files, process, itemName, &reason);
  } catch (const EFOpenError& error) {
    observer.LaunchedNothing(itemName, error.Message());
    throw;
  }
  if (!request) {
    observer.LaunchedNothing(itemName, reason);
    return;
  }
  CompleteRequest(process, *request);
  const std::uint64_t started = clock.Milliseconds();
  const std::intptr_t answer = shell.ShellOpen(owner, request->verb, request->file,
                                               request->parameters, request->directory, kSwRestore);
  observer.Launched(itemName, *request, answer, clock.Milliseconds() - started);
}

AnsiString NothingLaunchedReason(const TQEFile& file, const AnsiString& itemName) {
  std::int32_t open = -1, close = -1, headerEnd = -1;
  file.FindTag(itemName, true, open);
  file.FindTag(itemName, false, close);
  if (itemName.empty() || open < 0)
    return "the launch file has no section for the item";
  if (close < 0)
    return "the section opened on " + Line(open) + " is never closed";
  if (close <= open)
    return "the closing tag on " + Line(close) + " comes before the opening tag on " + Line(open);
  file.HeaderEnd(itemName, headerEnd);
  const std::int32_t menuItem = open + 1 < close && headerEnd + 1 < close ? headerEnd + 1 : -1;
  const std::int32_t path = file.FindKey("path", open + 1, close - 1);
  if (path < 0)
    return "the section opened on " + Line(open) + " has no path=";
  if (menuItem >= 0 && menuItem < path)
    return "the section's keys end at the <MenuItem line " + std::to_string(menuItem + 1) +
           ", before path= on " + Line(path);
  return "path= on " + Line(path) + " is empty";
}

}  // namespace pendulon
