#pragma once
// Everything qefcheck learns about one task folder: the two files the executer reads from its lib
// folder, what each line of the task file does, and what the run log says, already counted and
// worded, so that the text and the JSON report only print it. Reading never writes or creates
// anything.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "checker/folder/FolderPaths.h"
#include "checker/folder/LineAnalysis.h"
#include "checker/folder/LineReport.h"
#include "checker/folder/Machine.h"
#include "checker/log/PendulonStatus.h"
#include "checker/log/RunLogReader.h"
#include "checker/search/NextTimes.h"
#include "checker/search/Schedule.h"
#include "checker/text/LineNumbers.h"
#include "checker/text/Printable.h"
#include "platform/CheckingHost.h"
#include "platform/ReadingHost.h"

namespace pendulon {

struct FolderCheck {
  AnsiString folder, tasksPath, launchPath;
  std::string tasksHint, launchHint;          // see SavedWithTxt; empty for none
  std::string tasksEncoding, launchEncoding;  // see Utf8Hint; empty for none
  bool launchPresent = false;
  int launchLines = 0;
  LocalMinute now;
  std::int32_t utcOffsetMinutes = 0;  // the zone's offset now, which the times shown use
  TStringList tasks;                  // the task file as the executer loads it
  std::vector<LineReport> lines;
  AnsiString runLogPath;
  std::optional<RunLogSummary> runLog;     // when lib/pendulon.log or its older file is there
  std::optional<PendulonStatus> pendulon;  // whether the executer runs, where that can be told

  struct Summary {
    int empty = 0, comments = 0, tasks = 0, launching = 0;
    std::vector<int> problems;  // the numbers of the lines with a problem
  } summary;

  // 0 when every task line fires and launches something, 1 when any line has a problem.
  int ExitStatus() const { return summary.problems.empty() ? 0 : 1; }
};

// Reads and judges the folder's lib/tasks.qef and lib/launch.qef. Raises EFOpenError when the
// task file, or a launch file that is there, cannot be read, and Exception when either, or the
// lib folder, is a link or too large to check.
FolderCheck CheckFolder(CheckingHost& platform, const AnsiString& folder, char separator,
                        const Machine& machine = {});

}  // namespace pendulon
