#pragma once
// Opens a launch item through the shell: the section of that name in lib\launch.qef beside
// the executable gives the file (path), the verb (action, default "open"), the parameters
// (params) and the working folder (dir, default the file's folder).

#include "platform/AnsiString.h"
#include "platform/FileSystem.h"
#include "platform/ProcessInfo.h"
#include "platform/Shell.h"

namespace pendulon {

// The launch file beside the executable; built anew at each call.
AnsiString LaunchFilePath(ProcessInfo& process);

// Does nothing when the item has no path. Raises EFOpenError when the launch file cannot be
// loaded; what the shell makes of the request is not looked at.
void RunItem(FileSystem& files, ProcessInfo& process, Shell& shell, WindowHandle owner,
             const AnsiString& itemName);

}  // namespace pendulon
