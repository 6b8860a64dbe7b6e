#include "checker/FolderCheck.h"

#include <algorithm>
#include <map>
#include <set>

#include "checker/DryRunPlatform.h"
#include "checker/LogWriting.h"
#include "checker/MissedLaunch.h"
#include "checker/NextTimes.h"
#include "checker/RaisingAbove.h"
#include "checker/SizeLimits.h"
#include "checker/Utf8Files.h"
#include "launcher/LaunchItem.h"
#include "platform/Exceptions.h"
#include "platform/Files.h"
#include "platform/FolderFiles.h"
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

// What a line that raises lacks, in the words of its writer: an item name, or time fields too.
std::string MissingWords(const LineReport& r) {
  // The words written: the fields the split keeps, and the text it drops after the last space.
  const std::size_t space = r.text.rfind(' ');
  const bool dropped = space == AnsiString::npos || space + 1 < r.text.size();
  const int words = static_cast<int>(r.fields.size()) + (dropped ? 1 : 0);
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
  }
  return reports;
}

std::string LineNumbers(const std::vector<int>& numbers) {
  std::vector<std::string> parts;
  for (std::size_t i = 0; i < numbers.size();) {
    std::size_t j = i + 1;
    while (j < numbers.size() && numbers[j] == numbers[j - 1] + 1) ++j;
    if (j - i >= 3) {
      parts.push_back(std::to_string(numbers[i]) + " to " + std::to_string(numbers[j - 1]));
    } else {
      for (std::size_t n = i; n < j; ++n) parts.push_back(std::to_string(numbers[n]));
    }
    i = j;
  }
  const bool one = numbers.size() == 1;
  std::string text = one ? "line " : "lines ";
  for (std::size_t i = 0; i < parts.size(); ++i)
    text += (i == 0 ? "" : i + 1 == parts.size() ? " and " : ", ") + parts[i];
  return text;
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

std::string SavedWithTxt(FileSystem& files, const AnsiString& path, char separator) {
  const FoundFile txt = files.FindFile(path + ".txt");
  if (!txt.found || txt.directory)
    return {};
  const std::string name = Visible(path.substr(path.rfind(separator) + 1));
  const FoundFile expected = files.FindFile(path);
  const std::string saved = name + ".txt ";
  if (!expected.found)
    return saved +
           "is there instead: an editor added \".txt\" to the name when saving; rename "
           "it to " +
           name;
  return saved +
         "lies beside it and is never read: if it holds your changes, an editor added "
         "\".txt\" to the name when saving; rename it to " +
         name;
}

FolderCheck CheckFolder(HostSystem& platform, const AnsiString& folder, char separator,
                        const Machine& machine) {
  FolderCheck check;
  check.folder = folder;
  const AnsiString lib = JoinPath(folder, kLibFolder, separator);
  check.tasksPath = JoinPath(lib, kTasksFile, separator);
  check.launchPath = JoinPath(lib, kLaunchFile, separator);
  check.runLogPath = JoinPath(lib, kRunLogFile, separator);
  check.now = MinuteOf(platform.LocalTime());

  // A folder sent from elsewhere may lead out of itself, to a file the report would then show.
  for (const AnsiString& path : {lib, check.tasksPath, check.launchPath}) {
    if (const auto target = machine.links ? machine.links->LinkTarget(path) : std::nullopt)
      throw Exception(path + " is a link to " + (target->empty() ? "an unknown place" : *target) +
                      ": qefcheck reads nothing through a link, which may lead out of the folder");
  }
  check.tasksHint = SavedWithTxt(platform, check.tasksPath, separator);
  check.launchHint = SavedWithTxt(platform, check.launchPath, separator);
  // Every read goes through the dry run: it refuses to write, so nothing here can create a file.
  DryRunPlatform dry(platform);
  TStringList& tasks = check.tasks;
  CheckSize(dry, check.tasksPath, kTaskFileLimit);
  LoadLines(dry, tasks, check.tasksPath);
  CheckSize(dry, check.tasksPath, kTaskFileLimit, tasks.Count());
  // Present whatever its date: the executer's own test would miss a file dated before 1980.
  check.launchPresent = dry.FindFile(check.launchPath).found;

  if (check.launchPresent)
    CheckSize(dry, check.launchPath, kLaunchFileLimit);
  LaunchExplainer launches(dry, check.launchPath, check.launchPresent, machine.checkDrivePaths);
  check.launchLines = launches.LineCount();
  CheckSize(dry, check.launchPath, kLaunchFileLimit, check.launchLines);
  check.tasksEncoding = Utf8Hint(tasks);
  if (const TStringList* lines = launches.Lines())
    check.launchEncoding = Utf8Hint(*lines);

  check.lines = AnalyseLines(tasks, launches, dry, check.now);
  std::set<int> taskLines;
  for (const LineReport& line : check.lines) {
    if (line.kind == LineKind::kTask)
      taskLines.insert(line.number);
  }
  check.runLog = ReadRunLog(dry, check.runLogPath, taskLines, machine.links);
  const bool logRead = check.runLog && check.runLog->AnyLogFile();
  // Only a log that is on, as a file, is written; its older file never is.
  const bool on = logRead && std::any_of(check.runLog->files.begin(), check.runLog->files.end(),
                                         [&](const RunLogFile& f) {
                                           return f.path == check.runLogPath && f.notRead.empty();
                                         });
  if (on && machine.access != nullptr)
    check.runLog->cannotWrite = WhyLogNotWritten(*machine.access, check.runLogPath, lib);
  check.pendulon = StatusOf(machine.windows, logRead,
                            logRead ? check.runLog->lastStart : std::nullopt, check.now);
  FolderCheck::Summary& sum = check.summary;
  for (LineReport& line : check.lines) {
    sum.empty += line.kind == LineKind::kEmpty ? 1 : 0;
    sum.comments += line.kind == LineKind::kComment ? 1 : 0;
    sum.tasks += line.kind == LineKind::kTask ? 1 : 0;
    if (check.runLog && line.kind == LineKind::kTask) {
      // The log numbers lines as the task file was then: a record of another item speaks of a
      // line that has been edited since.
      if (const auto last = check.runLog->lastByLine.find(line.number);
          last != check.runLog->lastByLine.end() && line.Item() != nullptr &&
          last->second.item == *line.Item())
        line.lastRun = last->second;
      if (line.Fires())
        if (std::optional<RunLogRecord> gap = MissedIn(check.runLog->gaps, line))
          line.lastRun = std::move(gap);
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
