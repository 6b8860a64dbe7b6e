#pragma once
// The report of one line of the task file: what kind of line it is, the verdict on it and why,
// its next times, its launch and its last run, already worded, so that the reports only print it.

#include <optional>
#include <string>
#include <vector>

#include "checker/folder/FieldDiagnosis.h"
#include "checker/launch/LaunchExplanation.h"
#include "checker/log/RunLogReader.h"
#include "checker/search/NextTimes.h"
#include "checker/search/Schedule.h"

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
  // Its records were all made before the task file was saved as it is now, and read: when that
  // was ("Thu 2026-12-10 01:07:40"). Empty otherwise.
  std::string changedAt;
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

}  // namespace pendulon
