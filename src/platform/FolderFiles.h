#pragma once
// The files of a Pendulon folder, named once for both programs: the task file, the launch file
// and the run log lie in lib beside the executable, and the log's older half beside the log.

#include "platform/AnsiString.h"

namespace pendulon {

inline constexpr const char* kLibFolder = "lib";
inline constexpr const char* kTasksFile = "tasks.qef";
inline constexpr const char* kLaunchFile = "launch.qef";
inline constexpr const char* kRunLogFile = "pendulon.log";

// The path of a file of lib, as the executer builds it: its folder, "\lib\" and the name, joined
// by plain concatenation, so that at a drive root the separator doubles ("C:\\lib\tasks.qef").
inline AnsiString LibFile(const AnsiString& folder, const char* name) {
  return folder + "\\" + kLibFolder + "\\" + name;
}

// Where the run log goes when it rolls over: its path with ".1" added.
inline AnsiString OlderRunLog(const AnsiString& logPath) {
  return logPath + ".1";
}

}  // namespace pendulon
