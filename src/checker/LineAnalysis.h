#pragma once
// What each line of a task file does, judged with the executer's own splitting and matching:
// skipped, never matching, raising the list index error, never examined because a line above
// ends the walk first, or firing and launching (or not launching) its item.

#include <optional>
#include <string>
#include <vector>

#include "checker/Calendar.h"
#include "checker/FieldDiagnosis.h"
#include "checker/LaunchExplanation.h"
#include "checker/MatcherProbe.h"
#include "checker/Schedule.h"
#include "platform/StringList.h"

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
};

struct LineReport {
  int number = 0;  // from 1
  AnsiString text;
  LineKind kind = LineKind::kTask;
  std::vector<AnsiString> fields;  // as the executer splits the line
  Verdict verdict = Verdict::kSkipped;

  // kNever: the field that fails, and why.
  int field = -1;
  FieldProblem problem = FieldProblem::kNone;
  std::string problemWords;

  // The minutes the line fires (or raises) in, the error it raises, and when it acts next.
  Schedule when;
  int raises = -1;
  std::vector<LocalMinute> next;
  std::vector<Overlap> notExamined;  // partial: the line still acts in other minutes
  std::vector<int> blockedBy;        // kUnreached: the lines above that raise first

  std::optional<LaunchExplanation> launch;  // for lines that would fire

  const AnsiString* Item() const { return fields.size() > 5 ? &fields[5] : nullptr; }
};

// Judges every line; next times are counted from the minute after now.
std::vector<LineReport> AnalyseLines(const TStringList& lines, LaunchExplainer& launches,
                                     MatcherProbe& probe, const LocalMinute& now,
                                     int nextCount = 3);

}  // namespace pendulon
