#pragma once
// The report model: everything qefcheck learns about one task folder, the two files the
// executer reads from its lib folder and what each line of the task file does, judged with the
// executer's own splitting and matching and already counted and worded, so that the text and the
// JSON report only print it. Reading never writes or creates anything.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "checker/FieldDiagnosis.h"
#include "checker/LaunchExplanation.h"
#include "checker/Machine.h"
#include "checker/NextTimes.h"
#include "checker/PendulonStatus.h"
#include "checker/Printable.h"
#include "checker/RunLogReader.h"
#include "checker/Schedule.h"
#include "platform/HostSystem.h"

namespace pendulon {

enum class LineKind { kEmpty, kComment, kTask };

enum class Verdict {
  kSkipped,          // empty or comment
  kNever,            // a field the clock never shows
  kRaises,           // lacks a field the walk reaches: the rest of the file is skipped then
  kUnreached,        // a line above raises in every minute this one would act in
  kLaunchesNothing,  // fires, but the launch file gives no path
  kLaunches,         // fires and hands the shell a file
};

const char* KindCode(LineKind kind);
const char* VerdictCode(Verdict verdict);
bool IsProblem(Verdict verdict);

// Minutes in which a line above raises while this line would act.
struct Overlap {
  int line = 0;
  Schedule when;
  std::string words;  // "at minute 7 of every hour, when line 4 raises first"
};

struct LineReport {
  int number = 0;  // from 1
  AnsiString text;
  LineKind kind = LineKind::kTask;
  std::vector<AnsiString> fields;  // as the executer splits the line
  Verdict verdict = Verdict::kSkipped;
  std::string reason;  // what the line does and why, in one sentence

  struct Failure {  // kNever: the field that fails, and why
    int field = 0;
    FieldProblem problem = FieldProblem::kNone;
    std::string words;
  };
  std::optional<Failure> failure;
  struct Raised {  // the list index error the line raises, and why
    int index = 0;
    std::string message, words;
  };
  std::optional<Raised> error;
  std::optional<Schedule> schedule;  // the minutes the line acts in, unless it never does

  std::vector<NextTime> next;          // when the line acts next
  std::vector<SkippedMinute> skipped;  // minutes it would act in that the clock jumps over
  // The first few lines above whose schedule raises in some of this line's minutes, each the
  // first of its schedule; moreRaisingAbove counts the others.
  std::vector<Overlap> notExamined;  // partial: the line still acts in other minutes
  std::vector<int> blockedBy;        // kUnreached: the lines above that raise first
  int moreRaisingAbove = 0;

  std::optional<LaunchExplanation> launch;  // for lines that would fire
  // Task lines, when there is a run log: the last launch or launch of nothing it records.
  std::optional<RunLogRecord> lastRun;
  // A line that launches: the shell answered its last launch in the log with 32 or below.
  bool lastLaunchFailed = false;

  const AnsiString* Item() const { return fields.size() > 5 ? &fields[5] : nullptr; }
  // Lines that fire, whether or not they launch something; the others never reach the shell.
  bool Fires() const {
    return verdict == Verdict::kLaunches || verdict == Verdict::kLaunchesNothing;
  }
  bool Problem() const { return IsProblem(verdict) || lastLaunchFailed; }
  // The reports give the next times of lines that raise or fire.
  bool ShowsNext() const { return schedule && verdict != Verdict::kUnreached; }
};

// Judges every line; next times are counted from the minute after now, on the zone's clock.
std::vector<LineReport> AnalyseLines(const TStringList& lines, LaunchExplainer& launches,
                                     TimeZone& zone, const LocalMinute& now, int nextCount = 3);

// "line 5", "lines 1 to 134", "lines 2, 4 and 7 to 9": runs of three or more as ranges.
std::string LineNumbers(const std::vector<int>& numbers);

struct FolderCheck {
  AnsiString folder, tasksPath, launchPath;
  std::string tasksHint, launchHint;          // see SavedWithTxt; empty for none
  std::string tasksEncoding, launchEncoding;  // see Utf8Hint; empty for none
  bool launchPresent = false;
  int launchLines = 0;
  LocalMinute now;
  TStringList tasks;  // the task file as the executer loads it
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

// folder/name, with separator between them unless folder already ends in one.
AnsiString JoinPath(const AnsiString& folder, const AnsiString& name, char separator);

// The folder of the running executable: as the executer finds its own where paths separate
// with "\", otherwise up to the last "/".
AnsiString OwnFolder(ProcessInfo& platform, char separator);

// When the file's name with ".txt" added names a file, as some editors save it: why that file
// matters, in a sentence. Empty otherwise.
std::string SavedWithTxt(FileSystem& files, const AnsiString& path, char separator);

// Reads and judges the folder's lib/tasks.qef and lib/launch.qef. Raises EFOpenError when the
// task file, or a launch file that is there, cannot be read, and Exception when either, or the
// lib folder, is a link (with machine.links) or too large to check.
FolderCheck CheckFolder(HostSystem& platform, const AnsiString& folder, char separator,
                        const Machine& machine = {});

}  // namespace pendulon
