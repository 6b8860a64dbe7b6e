#include "checker/folder/FolderCheck.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <set>

#include "checker/folder/MissedLaunch.h"
#include "checker/folder/RaisingAbove.h"
#include "checker/folder/SizeLimits.h"
#include "checker/folder/Utf8Files.h"
#include "checker/launch/ServingHost.h"
#include "checker/log/LogWriting.h"
#include "checker/search/NextTimes.h"
#include "checker/text/AsciiLower.h"
#include "checker/text/CalendarWords.h"
#include "checker/text/Printable.h"
#include "launcher/LaunchItem.h"
#include "platform/Calendar.h"
#include "platform/Exceptions.h"
#include "platform/Files.h"
#include "platform/FolderFiles.h"
#include "platform/MainWindowIdentity.h"
#include "platform/Process.h"
#include "scheduler/TaskLine.h"

namespace pendulon {
namespace {

// The zone's offset at a local minute: the offset at that minute read as UTC, then at the UTC
// minute it gives, which is the local one but within an hour of a change.
std::int32_t OffsetAtLocal(TimeZone& zone, const LocalMinute& local) {
  const std::int64_t seconds = (DaysFromCivil(local.year, static_cast<unsigned>(local.month),
                                              static_cast<unsigned>(local.day)) *
                                    24 * 60 +
                                local.hour * 60 + local.minute) *
                               60;
  const std::int32_t guess = zone.UtcOffsetMinutesAt(seconds);
  return zone.UtcOffsetMinutesAt(seconds - std::int64_t{guess} * 60);
}

// The moment from which the log's records were made by the task file as it reads now: the first
// load written after the file was last saved. None when the log has no load to tell by; the
// greatest time when no load followed the save.
std::optional<std::int64_t> AsItReadsSince(const std::vector<std::int64_t>& loads,
                                           std::int64_t savedMs) {
  if (loads.empty())
    return std::nullopt;
  for (const std::int64_t load : loads) {
    if (load >= savedMs)
      return load;
  }
  return INT64_MAX;
}

// "Thu 2026-12-10 01:07:40": a UTC moment on the local clock.
std::string LocalText(TimeZone& zone, std::int64_t utcMs) {
  const std::int64_t local =
      utcMs + std::int64_t{zone.UtcOffsetMinutesAt(FloorDiv(utcMs, 1000))} * 60000;
  const std::int64_t days = FloorDiv(local, 86'400'000);
  const CivilDate date = CivilFromDays(days);
  const auto inDay = static_cast<int>((local - days * 86'400'000) / 1000);
  const LocalMinute minute{static_cast<int>(date.year), static_cast<int>(date.month),
                           static_cast<int>(date.day), inDay / 3600, inDay / 60 % 60};
  char seconds[8];
  std::snprintf(seconds, sizeof seconds, ":%02d", inDay % 60);
  return ReadableText(minute) + seconds;
}

// One copy runs on a machine: say which, and when it serves another folder, that the run log
// and the state shown are not its.
void NameTheRunningCopy(WindowProgram& programs, const AnsiString& folder, PendulonStatus& status) {
  const std::optional<AnsiString> program =
      programs.ProgramOfWindow(kMainWindowClass, kMainWindowCaption);
  if (!program || program->empty())
    return;
  status.program = *program;
  const auto bare = [](std::string_view path) {
    while (!path.empty() && (path.back() == '\\' || path.back() == '/')) path.remove_suffix(1);
    return AsciiLower(path);
  };
  const std::string_view serves =
      std::string_view(*program).substr(0, std::min(program->find_last_of("\\/"), program->size()));
  status.servesThisFolder = bare(serves) == bare(folder);
  status.words +=
      "; the copy running is " + Visible(*program) +
      (status.servesThisFolder ? std::string()
                               : ", which serves " + Visible(serves) + ", not this folder");
}

}  // namespace

FolderCheck CheckFolder(CheckingHost& platform, const AnsiString& folder, char separator,
                        const Machine& machine) {
  FolderCheck check;
  check.folder = folder;
  const AnsiString lib = JoinPath(folder, kLibFolder, separator);
  check.tasksPath = JoinPath(lib, kTasksFile, separator);
  check.launchPath = JoinPath(lib, kLaunchFile, separator);
  check.runLogPath = JoinPath(lib, kRunLogFile, separator);
  check.now = MinuteOf(platform.LocalTime());
  check.utcOffsetMinutes = OffsetAtLocal(platform, check.now);

  // A folder sent from elsewhere may lead out of itself, to a file the report would then show.
  for (const AnsiString& path : {lib, check.tasksPath, check.launchPath}) {
    if (const auto target = platform.LinkTarget(path))
      throw LinkRefused(path, target);
  }
  check.tasksHint = SavedWithTxt(platform, check.tasksPath, separator);
  check.launchHint = SavedWithTxt(platform, check.launchPath, separator);
  // The explainer reads each item from the lines that decide it, served from memory.
  ServingHost served(platform);
  TStringList& tasks = check.tasks;
  // Each file is checked on the handle it is read through, not by its path before: a folder
  // that changes meanwhile (a share, a sync client) could otherwise swap in a link or a huge file.
  const FoundFile tasksFile = platform.FindFile(check.tasksPath);
  const std::string taskBytes = ReadWithin(platform, check.tasksPath, kTaskFileLimit);
  AppendLines(taskBytes, tasks);
  CheckSize(platform, check.tasksPath, kTaskFileLimit, tasks.Count());
  // Present whatever its date: the executer's own test would miss a file dated before 1980.
  const FoundFile launchFile = platform.FindFile(check.launchPath);
  check.launchPresent = launchFile.found;
  if (check.launchPresent) {
    std::string launchBytes = ReadWithin(platform, check.launchPath, kLaunchFileLimit);
    check.launchEncoding = Utf16Hint(launchBytes);
    served.Serve(check.launchPath, std::move(launchBytes), launchFile.lastWrite);
  }
  LaunchExplainer launches(served, check.launchPath, check.launchPresent, machine.checkDrivePaths);
  check.launchLines = launches.LineCount();
  CheckSize(platform, check.launchPath, kLaunchFileLimit, check.launchLines);
  check.tasksEncoding = Utf16Hint(taskBytes);
  if (check.tasksEncoding.empty())
    check.tasksEncoding = Utf8Hint(tasks);
  if (const TStringList* lines = launches.Lines(); lines && check.launchEncoding.empty())
    check.launchEncoding = Utf8Hint(*lines);

  check.lines = AnalyseLines(tasks, launches, platform, check.now);
  // What the walk would make of a UTF-16 line is true, but reads as nonsense without its cause.
  if (!Utf16Hint(taskBytes).empty())
    for (LineReport& line : check.lines)
      if (line.kind == LineKind::kTask)
        line.reason = "the task file is UTF-16, so Pendulon reads this line as \"" +
                      Visible(line.text) + "\" (see the hint above); " + line.reason;
  std::set<int> taskLines;
  for (const LineReport& line : check.lines) {
    if (line.kind == LineKind::kTask)
      taskLines.insert(line.number);
  }
  check.runLog = ReadRunLog(platform, check.runLogPath, taskLines, &platform);
  const bool logRead = check.runLog && check.runLog->AnyLogFile();
  // Only a log that is on, as a file, is written; its older file never is.
  const bool on = logRead && std::any_of(check.runLog->files.begin(), check.runLog->files.end(),
                                         [&](const RunLogFile& f) {
                                           return f.path == check.runLogPath && f.notRead.empty();
                                         });
  if (on)
    check.runLog->cannotWrite = WhyLogNotWritten(platform, check.runLogPath, lib);
  check.pendulon = StatusOf(machine.windows, logRead,
                            logRead ? check.runLog->lastStart : std::nullopt, check.now);
  if (check.pendulon && check.pendulon->window.value_or(false) && machine.programs != nullptr)
    NameTheRunningCopy(*machine.programs, folder, *check.pendulon);
  // A record counts for a line only when the line read as it does now.
  const std::int64_t savedMs =
      static_cast<std::int64_t>(tasksFile.lastWrite / 10'000) - std::int64_t{11'644'473'600'000};
  const std::optional<std::int64_t> since =
      check.runLog ? AsItReadsSince(check.runLog->loads, savedMs) : std::nullopt;
  const auto asItReads = [&](const RunLogRecord& r) {
    return !since || (r.utcMs && *r.utcMs >= *since);
  };
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
      if (line.lastRun && !asItReads(*line.lastRun)) {
        line.lastRun.reset();
        line.changedAt = LocalText(platform, savedMs);
      }
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
