#include "checker/folder/LineAnalysis.h"

#include <algorithm>
#include <map>
#include <set>

#include "checker/folder/LineShape.h"
#include "checker/folder/RaisingAbove.h"
#include "checker/search/NextTimes.h"
#include "checker/text/LineNumbers.h"
#include "checker/text/Printable.h"
#include "platform/Exceptions.h"
#include "scheduler/TaskLine.h"

namespace pendulon {
namespace {

// Follows the matcher's checks in their order: the first field the clock can never show ends
// them, and so does the first field the line lacks.
void JudgeFields(LineReport& r, const TaskFields& fields, TimedLine& line) {
  for (int f = TaskFields::kMinute; f <= TaskFields::kWeekday; ++f) {
    if (f >= fields.Count()) {
      line.raises = f;
      return;
    }
    const FieldDiagnosis d = DiagnoseField(f, fields.Get(f));
    if (d.problem != FieldProblem::kNone) {
      r.failure = {f, d.problem, ProblemWords(f, d.problem, fields.Get(f))};
      return;
    }
    line.when[f] = d.value;
    if (f == TaskFields::kMonth && !CanOccur(line.when)) {
      const FieldProblem p = FieldProblem::kImpossibleDate;
      r.failure = {TaskFields::kDay, p, ProblemWords(TaskFields::kDay, p, "", line.when[f])};
      return;
    }
  }
  line.raises = fields.Count() <= TaskFields::kItem ? TaskFields::kItem : -1;
}

// What a line that raises lacks, in the words of its writer: an item name, or time fields too.
std::string MissingWords(const LineReport& r) {
  // The words written: the fields the split keeps, and the text it drops after the last space.
  const std::size_t space = r.text.rfind(' ');
  const bool dropped = space == AnsiString::npos || space + 1 < r.text.size();
  const int words = static_cast<int>(r.fields.size()) + (dropped ? 1 : 0);
  // "30 8 * * Backup": the last word names an item, so a time field is what is missing.
  if (const TimeWords t = TimeWordsOf(r.text);
      t.itemFollows && t.count > 0 && t.count < TaskFields::kItem)
    return "this line has " + std::to_string(t.count) + " of the 5 time fields";
  if (words >= TaskFields::kItem)
    return "this line has no item name";
  return "this line has " + std::to_string(words) + " of the 5 time fields";
}

// Why a line raises: how many fields it split into and which one the walk asked for.
std::string RaiseWords(const LineReport& r, int index) {
  const int count = static_cast<int>(r.fields.size());
  std::string words = "the line splits into " + std::to_string(count) +
                      (count == 1 ? " field" : " fields") + " and the walk asks for the " +
                      FieldName(index) + " (index " + std::to_string(index) + ")";
  // The split drops what follows the last space; say so when that is what went missing.
  const std::size_t space = r.text.rfind(' ');
  const std::string_view rest = std::string_view(r.text).substr(space + 1);
  if (count < 6 && !rest.empty())
    words += "; the text after the last space, \"" + Visible(rest) + "\", is dropped";
  return words;
}

std::string Reason(const LineReport& r) {
  const std::string when = r.schedule ? DescribeSchedule(*r.schedule) : std::string();
  switch (r.verdict) {
    case Verdict::kSkipped:
      return r.kind == LineKind::kEmpty ? "skipped: empty line" : "skipped: comment";
    case Verdict::kNever:
      return "never matches: " + std::string(FieldName(r.failure->field)) + " \"" +
             Visible(r.fields[static_cast<std::size_t>(r.failure->field)]) + "\" " +
             r.failure->words;
    case Verdict::kRaises:
      return MissingWords(r) + ": Pendulon shows the error box \"" + r.error->message + "\" " +
             when + ", and skips the lines below it in those minutes; " + r.error->words;
    case Verdict::kUnreached:
      return "never examined: " + LineNumbers(r.blockedBy) +
             (r.moreRaisingAbove > 0
                  ? " and " + std::to_string(r.moreRaisingAbove) + " more lines above raise"
              : r.blockedBy.size() == 1 ? " raises"
                                        : " raise") +
             " first in every minute this line would act in (" + when + ")";
    case Verdict::kLaunchesNothing:
      // The shell is still asked when the fault lies in what it is handed.
      return "fires " + when +
             (r.launch->Requested() ? ", but the shell will not open the file: "
                                    : " but launches nothing: ") +
             r.launch->words;
    case Verdict::kLaunches:
      return "fires " + when;
  }
  return std::string();
}

// What the line's shape shows beyond its verdict: a field too many or too few where the line
// does not fire as written, and a weekday 7 wherever it stands.
void AddShapeHints(LineReport& r) {
  if (r.kind != LineKind::kTask)
    return;
  if (r.verdict != Verdict::kLaunches)
    if (const std::string hint = FieldCountHint(r.text); !hint.empty())
      r.reason += "; " + hint;
  if (r.fields.size() > TaskFields::kWeekday && !r.failure)
    if (const std::string hint = WeekdayHint(r.fields[TaskFields::kWeekday]); !hint.empty())
      r.reason += " (" + hint + ")";
}

}  // namespace

std::vector<LineReport> AnalyseLines(const TStringList& lines, LaunchExplainer& launches,
                                     TimeZone& zone, const LocalMinute& now, int nextCount) {
  std::vector<LineReport> reports(static_cast<std::size_t>(lines.Count()));
  std::vector<TimedLine> timed;  // the lines that match in some minute, in file order
  TaskFields fields;
  for (int i = 0; i < lines.Count(); ++i) {
    LineReport& r = reports[static_cast<std::size_t>(i)];
    r.number = i + 1;
    r.text = AnsiString(lines[i]);
    if (!IsTaskLine(r.text)) {
      r.kind = r.text.empty() ? LineKind::kEmpty : LineKind::kComment;
      continue;
    }
    SplitTaskLine(r.text, fields);
    for (int f = 0; f < fields.Count(); ++f) r.fields.emplace_back(fields.Get(f));
    TimedLine line{i, {}, -1};
    JudgeFields(r, fields, line);
    if (r.failure) {
      r.verdict = Verdict::kNever;
      continue;
    }
    r.schedule = line.when;
    if (line.raises >= 0) {
      const AnsiString message = EStringListError(line.raises).Message();
      r.error = {line.raises, message, RaiseWords(r, line.raises)};
    }
    r.verdict = line.raises >= 0 ? Verdict::kRaises : Verdict::kLaunches;
    timed.push_back(line);
  }
  // One search for the whole file: each minute it walks judges every line at once.
  const std::vector<LineTimes> times = FindNextTimes(lines, timed, zone, now, nextCount);
  RaisingAbove raising;                       // the distinct schedules of lines that raise
  std::map<Schedule, std::string> described;  // lines below many raising ones share overlaps
  for (std::size_t k = 0; k < timed.size(); ++k) {
    LineReport& r = reports[static_cast<std::size_t>(timed[k].index)];
    r.next = times[k].next;
    r.skipped = times[k].skipped;
    // The lines above that raise in some minute of this one: the walk ends there first.
    const RaisingAbove::Found above = raising.Above(*r.schedule);
    for (const RaisingAbove::Overlap& o : above.first) {
      r.blockedBy.push_back(o.line);
      const auto [words, fresh] = described.try_emplace(o.both);
      if (fresh)
        words->second = DescribeSchedule(o.both);
      r.notExamined.push_back(
          {o.line, o.both,
           words->second + ", when line " + std::to_string(o.line) + " raises first"});
    }
    r.moreRaisingAbove = above.more;
    if (!times[k].acts && !r.blockedBy.empty()) {
      r.verdict = Verdict::kUnreached;
      r.notExamined.clear();
    } else {
      r.blockedBy.clear();
    }
    if (r.error)
      raising.AddRaising(*r.schedule, r.number);
  }
  for (LineReport& r : reports) {
    if (const AnsiString* item = r.Item(); item && r.schedule) {
      r.launch = launches.Explain(*item);
      if (r.verdict == Verdict::kLaunches && r.launch->problem != LaunchProblem::kNone)
        r.verdict = Verdict::kLaunchesNothing;
    }
    r.reason = Reason(r);
    AddShapeHints(r);
  }
  return reports;
}

}  // namespace pendulon
