#include "launcher/LaunchItem.h"

#include <optional>
#include <string>

#include "launcher/LaunchFileMemory.h"
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

// A missing launch file is made empty where the launch happens, so that the family finds one to
// fill. Only a file that is not there at all is made: one whose date cannot be stamped is kept
// as it is. Tells whether it was missing.
bool MadeIfMissing(HostSystem& host, const AnsiString& path) {
  const bool missing = !host.FindFile(path).found;
  if (!FilePresent(host, path))
    CreateEmptyFile(host, path);
  return missing;
}

// What the reader's section of the item asks the shell for; none when it has no path.
std::optional<LaunchRequest> RequestOf(ReadingHost& host, const TQEFile& reader,
                                       const AnsiString& itemName, AnsiString* reason) {
  LaunchRequest request;
  request.file = reader.GetPath(itemName);
  if (request.file.empty()) {
    if (reason != nullptr)
      *reason = WhyNothingLaunches(reader, itemName).words;
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
            const AnsiString& itemName, LaunchObserver* observer, LaunchFileMemory* memory) {
  AnsiString reason;
  std::optional<LaunchRequest> request;
  try {
    const bool missing = MadeIfMissing(system, launchPath);
    AnsiString* const why = observer != nullptr ? &reason : nullptr;
    request = memory != nullptr
                  ? RequestOf(system, *memory->Read(system, launchPath), itemName, why)
                  : ReadLaunchRequest(system, launchPath, itemName, why);
    // The reason then names the file just made, not the section it lacks.
    if (missing)
      reason = kLaunchFileCreated;
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
  const std::intptr_t answer =
      system.ShellOpen(owner, request->verb, request->file, request->parameters, request->directory,
                       kLaunchShowCommand);
  if (observer != nullptr)
    observer->Launched(itemName, *request, answer, system.Milliseconds() - started);
}

}  // namespace

// Reads with a reader of its own that is gone before the shell is asked: the shell may show a
// box during which further ticks launch again.
std::optional<LaunchRequest> ReadLaunchRequest(ReadingHost& host, const AnsiString& launchPath,
                                               const AnsiString& itemName, AnsiString* reason) {
  const TQEFile reader(host, launchPath);
  return RequestOf(host, reader, itemName, reason);
}

AnsiString LaunchFilePath(ProcessInfo& process) {
  return LibFile(ExeDirectory(process), kLaunchFile);
}

void LaunchItem(LaunchSystem& system, WindowHandle owner, const AnsiString& launchPath,
                const AnsiString& itemName) {
  Launch(system, owner, launchPath, itemName, nullptr, nullptr);
}

void LaunchItem(LaunchSystem& system, WindowHandle owner, const AnsiString& launchPath,
                const AnsiString& itemName, LaunchObserver& observer, LaunchFileMemory* memory) {
  Launch(system, owner, launchPath, itemName, &observer, memory);
}

}  // namespace pendulon
