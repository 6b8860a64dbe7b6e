#include "launcher/LaunchItem.h"

#include <optional>
#include <string>

#include "launcher/NothingLaunched.h"
#include "launcher/Qeflib.h"
#include "platform/Exceptions.h"
#include "platform/Files.h"
#include "platform/FolderFiles.h"
#include "platform/HostSystem.h"
#include "platform/Process.h"
#include "platform/Text.h"

namespace pendulon {
namespace {

// Reads the request with a reader of its own that is gone before the shell is asked: the shell
// may show a box during which further ticks launch again. Without a path, the reason is given
// when asked for.
std::optional<LaunchRequest> ReadRequest(HostSystem& host, const AnsiString& path,
                                         const AnsiString& itemName, AnsiString* reason) {
  // A missing launch file is made empty where the launch happens, so that the family finds one
  // to fill; the reason then names that, not the section. Only a file that is not there at all
  // is made: one whose date cannot be stamped is kept as it is.
  const bool missing = !host.FindFile(path).found;
  if (!FilePresent(host, path))
    CreateEmptyFile(host, path);
  const TQEFile reader(host, path);
  LaunchRequest request;
  request.file = reader.GetPath(itemName);
  if (request.file.empty()) {
    if (reason != nullptr)
      *reason = missing ? kLaunchFileCreated : WhyNothingLaunches(reader, itemName).words;
    return std::nullopt;
  }
  request.verb = reader.GetAction(itemName);
  request.parameters = reader.GetParams(itemName);
  request.directory = reader.GetDir(itemName);
  if (request.verb.empty()) {
    request.verb = "open";
  }
  if (request.directory.empty()) {
    request.directory = DirectoryOf(host, request.file);
  }
  return request;
}

// One launch; with an observer, it is told what came of it and how long the shell took.
void Launch(LaunchSystem& system, WindowHandle owner, const AnsiString& launchPath,
            const AnsiString& itemName, LaunchObserver* observer) {
  AnsiString reason;
  std::optional<LaunchRequest> request;
  try {
    request = ReadRequest(system, launchPath, itemName, observer != nullptr ? &reason : nullptr);
  } catch (const EFOpenError& error) {
    if (observer != nullptr)
      observer->LaunchedNothing(itemName, error.Message());
    throw;
  }
  if (!request) {
    if (observer != nullptr)
      observer->LaunchedNothing(itemName, reason);
    return;
  }
  const std::uint64_t started = observer != nullptr ? system.Milliseconds() : 0;
  const std::intptr_t answer = system.ShellOpen(
      owner, request->verb, request->file, request->parameters, request->directory, kSwRestore);
  if (observer != nullptr)
    observer->Launched(itemName, *request, answer, system.Milliseconds() - started);
}

}  // namespace

AnsiString LaunchFilePath(ProcessInfo& process) {
  return LibFile(ExeDirectory(process), kLaunchFile);
}

void LaunchItem(LaunchSystem& system, WindowHandle owner, const AnsiString& launchPath,
                const AnsiString& itemName) {
  Launch(system, owner, launchPath, itemName, nullptr);
}

void LaunchItem(LaunchSystem& system, WindowHandle owner, const AnsiString& launchPath,
                const AnsiString& itemName, LaunchObserver& observer) {
  Launch(system, owner, launchPath, itemName, &observer);
}

}  // namespace pendulon
