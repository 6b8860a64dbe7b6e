#include "checker/FolderCheck.h"

#include <cstdio>
#include <set>

#include "checker/DryRunPlatform.h"
#include "checker/NextTimes.h"
#include "launcher/RunItem.h"
#include "platform/Exceptions.h"
#include "platform/Files.h"
#include "platform/Process.h"
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

std::string LineList(const std::vector<int>& lines) {
  std::string text = lines.size() == 1 ? "line " : "lines ";
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0)
      text += i + 1 == lines.size() ? " and " : ", ";
    text += std::to_string(lines[i]);
  }
  return text;
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
      return "raises \"" + r.error->message + "\" " + when +
             ", and the lines below are not examined then: " + r.error->words;
    case Verdict::kUnreached:
      return "never examined: " + LineList(r.blockedBy) +
             (r.blockedBy.size() == 1 ? " raises" : " raise") +
             " first in every minute this line would act in (" + when + ")";
    case Verdict::kLaunchesNothing:
      return "fires " + when + " but launches nothing: " + r.launch->words;
    case Verdict::kLaunches:
      return "fires " + when;
  }
  return std::string();
}

}  // namespace

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

std::string Visible(std::string_view bytes) {
  std::string text;
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    char shown[8] = {c, '\0'};
    if (byte == '\t')
      std::snprintf(shown, sizeof shown, "\\t");
    else if (byte < 0x20 || byte >= 0x7F)
      std::snprintf(shown, sizeof shown, "\\x%02X", byte);
    text += shown;
  }
  return text;
}

std::vector<LineReport> AnalyseLines(const TStringList& lines, LaunchExplainer& launches,
                                     const LocalMinute& now, int nextCount) {
  std::vector<LineReport> reports(static_cast<std::size_t>(lines.Count()));
  TaskFields fields;
  for (int i = 0; i < lines.Count(); ++i) {
    LineReport& r = reports[static_cast<std::size_t>(i)];
    r.number = i + 1;
    r.text = AnsiString(lines[i]);
    if (!IsTaskLine(r.text)) {
      r.kind = r.text.empty() ? LineKind::kEmpty : LineKind::kComment;
      r.reason = Reason(r);
      continue;
    }
    SplitTaskLine(r.text, fields);
    for (int f = 0; f < fields.Count(); ++f) r.fields.emplace_back(fields.Get(f));
    TimedLine line{r.text, {}, -1};
    JudgeFields(r, fields, line);
    if (r.failure) {
      r.verdict = Verdict::kNever;
      r.reason = Reason(r);
      continue;
    }
    r.schedule = line.when;
    if (line.raises >= 0) {
      const AnsiString message = EStringListError(line.raises).Message();
      r.error = {line.raises, message, RaiseWords(r, line.raises)};
    }
    // The lines above that raise in some minute of this one: the walk ends there first.
    std::vector<TimedLine> blockers;
    for (const LineReport& above : reports) {
      if (above.number == r.number)
        break;
      const std::optional<Schedule> both =
          above.error ? Intersect(*above.schedule, line.when) : std::nullopt;
      if (!both)
        continue;
      blockers.push_back({above.text, *above.schedule, above.error->index});
      r.blockedBy.push_back(above.number);
      r.notExamined.push_back({above.number, *both,
                               DescribeSchedule(*both) + ", when line " +
                                   std::to_string(above.number) + " raises first"});
    }
    r.next = NextTimes(line, blockers, now, nextCount);
    r.verdict = line.raises >= 0 ? Verdict::kRaises : Verdict::kLaunches;
    // No minute in which the line acts, in all the 400 years the calendar takes to repeat.
    if (r.next.empty() && !blockers.empty()) {
      r.verdict = Verdict::kUnreached;
      r.notExamined.clear();
    } else {
      r.blockedBy.clear();
    }
    if (const AnsiString* item = r.Item()) {
      r.launch = launches.Explain(*item);
      if (r.verdict == Verdict::kLaunches && r.launch->problem != LaunchProblem::kNone)
        r.verdict = Verdict::kLaunchesNothing;
    }
    r.reason = Reason(r);
  }
  return reports;
}

AnsiString JoinPath(const AnsiString& folder, const AnsiString& name, char separator) {
  if (folder.empty())
    return name;
  const char last = folder.back();
  // Windows takes "/" as well, and "C:" names a drive's current folder.
  const bool ends = last == separator || (separator == '\\' && (last == '/' || last == ':'));
  return ends ? folder + name : folder + separator + name;
}

AnsiString OwnFolder(ProcessInfo& platform, char separator) {
  if (separator == '\\')
    return ExeDirectory(platform);
  const AnsiString path = ExePath(platform);
  const std::size_t slash = path.rfind(separator);
  if (slash == AnsiString::npos)
    return ".";
  return slash == 0 ? AnsiString(1, separator) : path.substr(0, slash);
}

FolderCheck CheckFolder(HostSystem& platform, const AnsiString& folder, char separator,
                        bool checkDrivePaths) {
  FolderCheck check;
  check.folder = folder;
  const AnsiString lib = JoinPath(folder, "lib", separator);
  check.tasksPath = JoinPath(lib, "tasks.qef", separator);
  check.launchPath = JoinPath(lib, "launch.qef", separator);
  check.runLogPath = JoinPath(lib, "pendulon.log", separator);
  check.now = MinuteOf(platform.LocalTime());

  // Every read goes through the dry run: it refuses to write, so nothing here can create a file.
  DryRunPlatform dry(platform);
  TStringList tasks;
  LoadLines(dry, tasks, check.tasksPath);
  // Present whatever its date: the executer's own test would miss a file dated before 1980.
  check.launchPresent = dry.FindFile(check.launchPath).found;

  // The executer finds launch.qef from its own folder with "\"; have it find this one.
  dry.PlaceExecutable(JoinPath(folder, "pendulon.exe", '\\'));
  dry.Alias(LaunchFilePath(dry), check.launchPath);
  LaunchExplainer launches(dry, check.launchPath, check.launchPresent, checkDrivePaths);
  check.launchLines = launches.LineCount();

  check.lines = AnalyseLines(tasks, launches, check.now);
  std::set<int> taskLines;
  for (const LineReport& line : check.lines) {
    if (line.kind == LineKind::kTask)
      taskLines.insert(line.number);
  }
  check.runLog = ReadRunLog(dry, check.runLogPath, taskLines);
  FolderCheck::Summary& sum = check.summary;
  for (LineReport& line : check.lines) {
    sum.empty += line.kind == LineKind::kEmpty ? 1 : 0;
    sum.comments += line.kind == LineKind::kComment ? 1 : 0;
    sum.tasks += line.kind == LineKind::kTask ? 1 : 0;
    if (check.runLog && line.kind == LineKind::kTask) {
      if (const auto last = check.runLog->lastByLine.find(line.number);
          last != check.runLog->lastByLine.end())
        line.lastRun = last->second;
    }
    // "Did my task run?" is answered by the exit status too.
    if (line.verdict == Verdict::kLaunches && line.lastRun &&
        line.lastRun->event == LogEvent::kLaunch && line.lastRun->Failed()) {
      line.lastLaunchFailed = true;
      line.reason += ", but its last launch in the run log failed: the shell answered " +
                     std::to_string(line.lastRun->answer) + " (" + Visible(line.lastRun->meaning) +
                     ")";
    }
    sum.launching += line.verdict == Verdict::kLaunches && !line.lastLaunchFailed ? 1 : 0;
    if (line.Problem())
      sum.problems.push_back(line.number);
  }
  return check;
}

}  // namespace pendulon
