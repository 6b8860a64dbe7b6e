#include "checker/report/TextReport.h"

#include <algorithm>
#include <cstdio>
#include <tuple>

#include "checker/log/EventWords.h"
#include "runlog/TimeStamp.h"

namespace pendulon {
namespace {

constexpr const char* kIndent = "        ";
constexpr std::size_t kMostOverlaps = 3;

std::string Counted(int count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

// Shell values as they are, quoted only where the quotes show something: empty, or with
// spaces at an end.
std::string ShellValue(std::string_view value) {
  if (value.empty() || value.front() == ' ' || value.back() == ' ')
    return Quoted(value);
  return Visible(value);
}

void WriteLaunch(std::ostream& out, const LaunchExplanation& launch) {
  if (!launch.Requested()) {
    if (!launch.hint.empty())
      out << kIndent << "hint: " << launch.hint << "\n";
    return;
  }
  const ShellRequest& r = launch.request;
  const std::string next = std::string(kIndent) + "       ";
  out << kIndent << "shell: verb        " << ShellValue(r.verb)
      << (launch.verbIsDefault ? " (the default)" : "") << "\n"
      << next << "file        " << ShellValue(r.file) << "\n"
      << next << "parameters  " << ShellValue(r.parameters) << "\n"
      << next << "folder      " << ShellValue(r.directory)
      << (launch.directoryIsDefault ? " (the file's folder)" : "") << "\n"
      << next << "show        " << r.showCommand << "\n";
}

// "02:00"
std::string ClockOf(const LocalMinute& m) {
  char text[8];
  std::snprintf(text, sizeof text, "%02d:%02d", m.hour % 100, m.minute % 100);
  return text;
}

// What a run log line says happened, after its time.
std::string Happened(const RunLogRecord& r) {
  return EventWords(r.entry);
}

void WriteLastRun(std::ostream& out, const LineReport& line) {
  out << kIndent << "last run: ";
  if (const std::optional<RunLogRecord>& r = line.lastRun) {
    out << LogTime(r->time);
    if (!r->missed.empty()) {
      out << " its " << LogTime(r->missed)
          << " launch did not happen: " << (r->startUp ? Visible(r->text) : Happened(*r)) << "\n";
      return;
    }
    // A launch that waited past its minute names the minute it served.
    if (r->time.substr(0, 16) != r->minute)
      out << " (for the minute " << LogTime(r->minute) << ")";
    out << " " << Happened(*r) << "\n";
  } else if (!line.changedAt.empty()) {
    out << "none since the task file was saved at " << line.changedAt << "\n";
  } else {
    out << "none in the run log\n";
  }
}

void WriteRunLog(std::ostream& out, const RunLogSummary& log) {
  out << "\nrecent failures in the run log"
      << (log.failures.empty() ? ": none\n" : ", newest first:\n");
  for (const RunLogRecord& r : log.failures) {
    out << "  " << LogTime(r.time) << "  " << Happened(r);
    if (r.repeats > 1)
      out << " (" << r.repeats << " times, the first at " << LogTime(r.firstTime) << ")";
    out << "\n";
  }
}

std::string FileName(const AnsiString& path) {
  return Visible(path.substr(path.find_last_of("\\/") + 1));
}

// "line 4", "lines 4, 9 and 12", by file when more than one was read, and "and more" when
// more were skipped than are named.
std::string MalformedLines(const RunLogSummary& log, bool byFile) {
  const std::vector<MalformedLine>& named = log.malformed;
  const bool more = log.skipped > static_cast<int>(named.size());
  std::string text;
  for (std::size_t first = 0, end = 0; first < named.size(); first = end) {
    while (end < named.size() && named[end].file == named[first].file) ++end;
    const bool open = more && end == named.size();  // the list goes on past the last named
    text += (first > 0 ? ", " : "") +
            (byFile ? FileName(log.files[named[first].file].path) + " " : std::string()) +
            (end - first == 1 && !open ? "line " : "lines ");
    for (std::size_t i = first; i < end; ++i) {
      if (i > first)
        text += i + 1 == end && !open ? " and " : ", ";
      text += std::to_string(named[i].line);
    }
  }
  return more ? text + " and more" : text;
}

void WriteRunLogHeader(std::ostream& out, const RunLogSummary& log) {
  std::string read, notRead;
  int readCount = 0;
  for (const RunLogFile& f : log.files) {
    if (f.notRead.empty()) {
      read += (read.empty() ? "" : ", ") + Visible(f.path) + (f.tail ? " (its last 16 MiB)" : "");
      ++readCount;
    } else {
      notRead += (notRead.empty() ? "" : "; ") + Visible(f.path) + " not read: " + f.notRead;
    }
  }
  out << "  run log      ";
  if (readCount > 0) {
    out << read << " (" << Counted(log.records, "line", "lines");
    if (log.skipped > 0)
      out << ", " << log.skipped << " malformed skipped: " << MalformedLines(log, readCount > 1);
    out << (log.error.empty() ? ")" : "); " + Visible(log.error));
  }
  out << (readCount > 0 && !notRead.empty() ? "; " : "") << notRead << "\n";
  if (!log.cannotWrite.empty())
    out << "               hint: " << log.cannotWrite << "\n";
}

void WriteLine(std::ostream& out, const LineReport& line, bool runLog) {
  out << "line " << line.number << "  " << KindCode(line.kind);
  for (std::size_t f = 0; f < line.fields.size(); ++f)
    out << "  " << FieldName(static_cast<int>(f)) << " " << Quoted(line.fields[f]);
  out << "\n";
  if (line.verdict == Verdict::kSkipped)
    return;
  out << kIndent << (line.Problem() ? "PROBLEM: " : "ok: ") << line.reason << "\n";
  if (line.ShowsNext()) {
    out << kIndent << "next: " << (line.next.empty() ? "none within 400 years" : "");
    for (std::size_t i = 0; i < line.next.size(); ++i)
      out << (i > 0 ? ", " : "") << ReadableText(line.next[i].at)
          << (line.next[i].twice ? " (twice: summer and winter time)" : "");
    for (const SkippedMinute& skipped : line.skipped)
      out << " (" << ReadableText(skipped.at) << " does not occur: the clock goes from "
          << ClockOf(skipped.from) << " to " << ClockOf(skipped.to) << ")";
    out << "\n";
  }
  for (std::size_t i = 0; i < line.notExamined.size() && i < kMostOverlaps; ++i)
    out << kIndent << "not examined: " << line.notExamined[i].words << "\n";
  const int more = static_cast<int>(line.notExamined.size()) - static_cast<int>(kMostOverlaps);
  if (more > 0 || (!line.notExamined.empty() && line.moreRaisingAbove > 0))
    out << kIndent << "not examined: and in the minutes of "
        << Counted(std::max(more, 0) + line.moreRaisingAbove, "more line above", "more lines above")
        << "\n";
  if (line.launch && line.verdict != Verdict::kUnreached)
    WriteLaunch(out, *line.launch);
  // A line that can never fire has no last run to look for.
  if (runLog && (line.lastRun || line.Fires() || !line.changedAt.empty()))
    WriteLastRun(out, line);
}

}  // namespace

void WriteTextHeader(std::ostream& out, const FolderCheck& check) {
  out << "qefcheck " << Visible(check.folder) << "\n";
  out << "  task file    " << Visible(check.tasksPath) << " ("
      << Counted(static_cast<int>(check.lines.size()), "line", "lines") << ")\n";
  for (const std::string* hint : {&check.tasksHint, &check.tasksEncoding}) {
    if (!hint->empty())
      out << "               hint: " << *hint << "\n";
  }
  out << "  launch file  " << Visible(check.launchPath);
  if (check.launchPresent)
    out << " (" << Counted(check.launchLines, "line", "lines") << ")\n";
  else
    out << ": missing; the executer would create it empty, so no item launches\n";
  for (const std::string* hint : {&check.launchHint, &check.launchEncoding}) {
    if (!hint->empty())
      out << "               hint: " << *hint << "\n";
  }
  if (check.runLog)
    WriteRunLogHeader(out, *check.runLog);
  if (check.pendulon)
    out << "  " << check.pendulon->words << "\n";
  out << "  local time   " << ReadableText(check.now) << " ("
      << UtcOffsetText(check.utcOffsetMinutes) << "); next times count from the minute after\n\n";
}

void WriteTextReport(std::ostream& out, const FolderCheck& check) {
  WriteTextHeader(out, check);

  // Of a log that is only a folder, a pipe or a device, the header says all there is.
  const bool runLog = check.runLog && check.runLog->AnyLogFile();
  for (const LineReport& line : check.lines) WriteLine(out, line, runLog);
  if (runLog)
    WriteRunLog(out, *check.runLog);
  const FolderCheck::Summary& sum = check.summary;
  const int problemCount = static_cast<int>(sum.problems.size());
  std::string kinds;
  for (const auto& [count, one, many] :
       {std::tuple{sum.empty, "empty line", "empty lines"},
        std::tuple{sum.comments, "comment", "comments"}, std::tuple{sum.tasks, "task", "tasks"}}) {
    if (count > 0)
      kinds += (kinds.empty() ? "" : ", ") + Counted(count, one, many);
  }
  out << "\n"
      << Counted(static_cast<int>(check.lines.size()), "line", "lines")
      << (kinds.empty() ? "" : " (" + kinds + ")") << ": "
      << (sum.launching == 0   ? "none launches"
          : sum.launching == 1 ? "1 launches"
                               : std::to_string(sum.launching) + " launch")
      << " on schedule, "
      << (problemCount == 0   ? "none has a problem"
          : problemCount == 1 ? "1 has a problem"
                              : std::to_string(problemCount) + " have problems");
  out << (sum.problems.empty() ? ".\n" : " (" + LineNumbers(sum.problems) + ").\n");
}

}  // namespace pendulon
