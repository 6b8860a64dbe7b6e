#pragma once
// The report model: everything qefcheck learns about one task folder, the two files the
// executer reads from its lib folder and the judgement of each task line, already counted and
// worded, so that the text and the JSON report only print it. Reading never writes or creates
// anything.

#include <vector>

#include "checker/LineAnalysis.h"
#include "checker/Schedule.h"
#include "platform/HostSystem.h"

namespace pendulon {

struct FolderCheck {
  AnsiString folder, tasksPath, launchPath;
  bool launchPresent = false;
  int launchLines = 0;
  LocalMinute now;
  std::vector<LineReport> lines;

  struct Summary {
    int empty = 0, comments = 0, tasks = 0, launching = 0;
    std::vector<int> problems;  // the numbers of the lines with a problem
  } summary;

  // 0 when every task line fires and launches something, 1 when any line has a problem.
  int ExitStatus() const { return summary.problems.empty() ? 0 : 1; }
};

// folder/name, with separator between them unless folder already ends in one.
AnsiString JoinPath(const AnsiString& folder, const AnsiString& name, char separator);

// The folder of the running executable: as the executer finds its own where paths separate
// with "\", otherwise up to the last "/".
AnsiString OwnFolder(ProcessInfo& platform, char separator);

// Reads and judges the folder's lib/tasks.qef and lib/launch.qef. Raises EFOpenError when the
// task file, or a launch file that is there, cannot be read.
FolderCheck CheckFolder(HostSystem& platform, const AnsiString& folder, char separator);

}  // namespace pendulon
