#include "launcher/LaunchItem.h"

#include <optional>
#include <string>

#include "launcher/Qeflib.h"
#include "platform/Exceptions.h"
#include "platform/Files.h"
#include "platform/FolderFiles.h"
#include "platform/HostSystem.h"
#include "platform/Process.h"
#include "platform/Text.h"

namespace pendulon {
namespace {

AnsiString Line(std::int32_t index) {
  return "line " + std::to_string(index + 1);
}

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

NothingLaunched WhyNothingLaunches(const TQEFile& file, const AnsiString& itemName,
                                   const std::vector<std::int32_t>* lineAt) {
  NothingLaunched n;
  n.open = file.FindTag(itemName, true);
  n.close = file.FindTag(itemName, false);
  if (itemName.empty() || n.open < 0) {
    n.cause = NothingLaunched::kNoSection;
  } else if (n.close < 0) {
    n.cause = NothingLaunched::kNoClosingTag;
  } else if (n.close <= n.open) {
    n.cause = NothingLaunched::kClosingBeforeOpening;
  } else {
    // The header ends before the first <MenuItem line; path= may still follow it.
    const std::int32_t headerEnd = file.HeaderEnd(itemName);
    n.menuItem = n.open + 1 < n.close && headerEnd + 1 < n.close ? headerEnd + 1 : -1;
    n.path = file.FindKey("path", n.open + 1, n.close - 1);
    n.cause = n.path < 0                               ? NothingLaunched::kNoPath
              : n.menuItem >= 0 && n.menuItem < n.path ? NothingLaunched::kMenuItemBeforePath
                                                       : NothingLaunched::kEmptyPath;
  }
  for (std::int32_t* line : {&n.open, &n.close, &n.menuItem, &n.path}) {
    if (*line >= 0 && lineAt != nullptr)
      *line = (*lineAt)[static_cast<std::size_t>(*line)];
  }
  switch (n.cause) {
    case NothingLaunched::kNoSection:
      n.words = "the launch file has no section for the item";
      break;
    case NothingLaunched::kNoClosingTag:
      n.words = "the section opened on " + Line(n.open) + " is never closed";
      break;
    case NothingLaunched::kClosingBeforeOpening:
      n.words = "the closing tag on " + Line(n.close) + " comes before the opening tag on " +
                Line(n.open);
      break;
    case NothingLaunched::kNoPath:
      n.words = "the section opened on " + Line(n.open) + " has no path=";
      break;
    case NothingLaunched::kMenuItemBeforePath:
      n.words = "the section's keys end at the <MenuItem line " + std::to_string(n.menuItem + 1) +
                ", before path= on " + Line(n.path);
      break;
    case NothingLaunched::kEmptyPath:
      n.words = "path= on " + Line(n.path) + " is empty";
      break;
  }
  return n;
}

}  // namespace pendulon
