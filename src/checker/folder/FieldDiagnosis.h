#pragma once
// What one time field of a task line matches by the matcher's rule ("*", or byte for byte the
// decimal text the clock shows), and why a field the clock never shows never matches.

#include <string>
#include <string_view>

namespace pendulon {

enum class FieldProblem {
  kNone,
  kEmpty,
  kByteOrderMark,
  kTab,
  kList,
  kRange,
  kStep,
  kSign,
  kLeadingZero,
  kOutOfRange,
  kNotANumber,
  kImpossibleDate,  // a valid day that the month never has; found by looking at both
};

struct FieldDiagnosis {
  FieldProblem problem = FieldProblem::kNone;
  int value = -1;  // the value the clock must show; -1 for "*" or a problem
};

FieldDiagnosis DiagnoseField(int field, std::string_view text);

// "minute", "hour", "day", "month", "weekday", "item" by TaskFields index.
const char* FieldName(int field);
// A stable name for tools: "leading-zero", "out-of-range", ...
const char* ProblemCode(FieldProblem problem);
// Why the field never matches, as the rest of a sentence that names the field first; month
// is the line's month, needed for kImpossibleDate only.
std::string ProblemWords(int field, FieldProblem problem, std::string_view text, int month = 0);

}  // namespace pendulon
