#include "checker/LineAnalysis.h"

#include "checker/NextTimes.h"
#include "scheduler/TaskLine.h"

namespace pendulon {
namespace {

// Follows the matcher's checks in their order: the first field the clock can never show ends
// them, and so does the first field the line lacks.
void JudgeFields(LineReport& r, const TaskFields& fields) {
  for (int f = TaskFields::kMinute; f <= TaskFields::kWeekday; ++f) {
    if (f >= fields.Count()) {
      r.verdict = Verdict::kRaises;
      r.raises = f;
      return;
    }
    const FieldDiagnosis d = DiagnoseField(f, fields.Get(f));
    if (d.problem != FieldProblem::kNone) {
      r.verdict = Verdict::kNever;
      r.field = f;
      r.problem = d.problem;
      r.problemWords = ProblemWords(f, d.problem, fields.Get(f));
      return;
    }
    r.when[f] = d.value;
    if (f == TaskFields::kMonth && !CanOccur(r.when)) {
      r.verdict = Verdict::kNever;
      r.field = TaskFields::kDay;
      r.problem = FieldProblem::kImpossibleDate;
      r.problemWords = ProblemWords(r.field, r.problem, fields.Get(r.field), r.when[f]);
      return;
    }
  }
  if (fields.Count() <= TaskFields::kItem) {
    r.verdict = Verdict::kRaises;
    r.raises = TaskFields::kItem;
    return;
  }
  r.verdict = Verdict::kLaunches;  // until the launch file says otherwise
}

// Lines above that raise end the walk before it reaches this line.
void JudgeReach(LineReport& r, const std::vector<LineReport>& above) {
  std::vector<Schedule> raising;
  std::vector<int> lines;
  for (const LineReport& a : above) {
    if (a.raises < 0 || !Intersect(a.when, r.when))
      continue;
    raising.push_back(a.when);
    lines.push_back(a.number);
  }
  if (raising.empty())
    return;
  if (Covers(raising, r.when)) {
    r.verdict = Verdict::kUnreached;
    r.blockedBy = lines;
    return;
  }
  for (std::size_t i = 0; i < raising.size(); ++i)
    r.notExamined.push_back({lines[i], *Intersect(raising[i], r.when)});
}

}  // namespace

const char* KindCode(LineKind kind) {
  switch (kind) {
    case LineKind::kEmpty:
      return "empty";
    case LineKind::kComment:
      return "comment";
    case LineKind::kTask:
      return "task";
  }
  return "task";
}

const char* VerdictCode(Verdict verdict) {
  switch (verdict) {
    case Verdict::kSkipped:
      return "skipped";
    case Verdict::kNever:
      return "never-matches";
    case Verdict::kRaises:
      return "raises-error";
    case Verdict::kUnreached:
      return "never-examined";
    case Verdict::kLaunchesNothing:
      return "launches-nothing";
    case Verdict::kLaunches:
      return "launches";
  }
  return "skipped";
}

bool IsProblem(Verdict verdict) {
  return verdict != Verdict::kSkipped && verdict != Verdict::kLaunches;
}

std::vector<LineReport> AnalyseLines(const TStringList& lines, LaunchExplainer& launches,
                                     MatcherProbe& probe, const LocalMinute& now, int nextCount) {
  std::vector<LineReport> reports;
  std::vector<TimedLine> acting;  // lines above that raise, for the next-times search
  TaskFields fields;
  for (int i = 0; i < lines.Count(); ++i) {
    LineReport r;
    r.number = i + 1;
    r.text = AnsiString(std::string_view(lines[i]));
    if (r.text.empty() || r.text[0] == '#') {
      r.kind = r.text.empty() ? LineKind::kEmpty : LineKind::kComment;
      reports.push_back(std::move(r));
      continue;
    }
    SplitTaskLine(r.text, fields);
    for (int f = 0; f < fields.Count(); ++f) r.fields.emplace_back(fields.Get(f));
    JudgeFields(r, fields);
    if (r.verdict != Verdict::kNever) {
      const int raises = r.raises;
      JudgeReach(r, reports);
      const TimedLine timed{r.text, r.when, raises};
      if (r.verdict != Verdict::kUnreached)
        r.next = NextTimes(timed, acting, now, nextCount, probe);
      if (raises >= 0)
        acting.push_back(timed);
    }
    if (const AnsiString* item = r.Item(); item != nullptr && r.verdict != Verdict::kNever) {
      r.launch = launches.Explain(*item);
      if (r.verdict == Verdict::kLaunches && r.launch->problem != LaunchProblem::kNone)
        r.verdict = Verdict::kLaunchesNothing;
    }
    reports.push_back(std::move(r));
  }
  return reports;
}

}  // namespace pendulon
