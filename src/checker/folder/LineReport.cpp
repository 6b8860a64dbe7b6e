#include "checker/folder/LineReport.h"

namespace pendulon {

const char* KindCode(LineKind kind) {
  static const char* const kCodes[] = {"empty", "comment", "task"};
  return kCodes[static_cast<int>(kind)];
}

const char* VerdictCode(Verdict verdict) {
  static const char* const kCodes[] = {"skipped",        "never-matches",    "raises-error",
                                       "never-examined", "launches-nothing", "launches"};
  return kCodes[static_cast<int>(verdict)];
}

bool IsProblem(Verdict verdict) {
  return verdict != Verdict::kSkipped && verdict != Verdict::kLaunches;
}

}  // namespace pendulon
