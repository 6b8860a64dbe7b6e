#pragma once
// What each line of a task file does, judged with the executer's own splitting and matching,
// and said in the words both reports print: skipped, never matching, raising the list index
// error, never examined because a line above ends the walk first, or firing and launching (or
// not launching) its item.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "checker/FieldDiagnosis.h"
#include "checker/LaunchExplanation.h"
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

// A field's bytes as readable text: a tab as \t, other control bytes and bytes from 0x80 as
// \xNN, everything else as it is.
std::string Visible(std::string_view bytes);

struct WordedSchedule {
  Schedule when;
  std::string words;  // "at 8:30 on Mondays"
};

// Minutes in which a line above raises while this line would act.
struct Overlap {
  int line = 0;
  WordedSchedule schedule;
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
  std::optional<WordedSchedule> schedule;  // the minutes the line acts in, unless it never does

  bool showsNext = false;            // the reports give the next times of raising and firing lines
  std::vector<LocalMinute> next;     // when the line acts next
  std::vector<Overlap> notExamined;  // partial: the line still acts in other minutes
  std::vector<int> blockedBy;        // kUnreached: the lines above that raise first

  std::optional<LaunchExplanation> launch;  // for lines that would fire

  const AnsiString* Item() const { return fields.size() > 5 ? &fields[5] : nullptr; }
};

// Judges every line; next times are counted from the minute after now.
std::vector<LineReport> AnalyseLines(const TStringList& lines, LaunchExplainer& launches,
                                     const LocalMinute& now, int nextCount = 3);

}  // namespace pendulon
