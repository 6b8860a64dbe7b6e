#pragma once
// Opens a launch item through the shell: the section of that name in lib\launch.qef beside
// the executable gives the file (path), the verb (action, default "open"), the parameters
// (params) and the working folder (dir, default the file's folder).

#include <cstdint>
#include <vector>

#include <optional>

#include "platform/AnsiString.h"
#include "platform/LaunchSystem.h"
#include "platform/ProcessInfo.h"
#include "platform/ReadingHost.h"
#include "platform/Shell.h"

namespace pendulon {

class TQEFile;
class LaunchFileMemory;

// What is handed to the shell, exactly as passed.
struct LaunchRequest {
  AnsiString verb, file, parameters, directory;
};

// How every launch asks the shell to show the item's window.
inline constexpr int kLaunchShowCommand = kSwRestore;

// Told what each launch did, for a record of launches kept by the caller.
class LaunchObserver {
 public:
  // The shell was asked and answered (ShellExecuteA's result) after that many milliseconds.
  virtual void Launched(const AnsiString& item, const LaunchRequest& request, std::intptr_t answer,
                        std::uint64_t milliseconds) = 0;
  // The item launches nothing, for this reason.
  virtual void LaunchedNothing(const AnsiString& item, const AnsiString& reason) = 0;

 protected:
  ~LaunchObserver() = default;
};

// The launch file beside the executable, which the executer builds anew for each launch.
AnsiString LaunchFilePath(ProcessInfo& process);

// Why nothing launched when the launch file was missing at the launch: it has been made empty.
inline constexpr const char* kLaunchFileCreated =
    "the launch file was missing and has been created empty";

// What a launch of the item would hand the shell, read from the launch file at launchPath as
// the launch reads it, changing nothing; none when the item has no path, with the reason when
// asked for. Raises EFOpenError when the launch file cannot be loaded.
std::optional<LaunchRequest> ReadLaunchRequest(ReadingHost& host, const AnsiString& launchPath,
                                               const AnsiString& itemName,
                                               AnsiString* reason = nullptr);

// Opens the item of the launch file at launchPath, which is made empty when no file is there.
// Does nothing when the item has no path. Raises EFOpenError when the launch file cannot be
// loaded; what the shell makes of the request is not looked at.
void LaunchItem(LaunchSystem& system, WindowHandle owner, const AnsiString& launchPath,
                const AnsiString& itemName);

// The same launch, telling the observer what came of it, with the milliseconds the shell's call
// took. An unreadable launch file is told as the error's text before the error goes on. With a
// memory, the launch file is read through it: read again only when it may have changed.
void LaunchItem(LaunchSystem& system, WindowHandle owner, const AnsiString& launchPath,
                const AnsiString& itemName, LaunchObserver& observer,
                LaunchFileMemory* memory = nullptr);

}  // namespace pendulon
