#include "checker/TextReport.h"

#include <tuple>

namespace pendulon {
namespace {

constexpr const char* kIndent = "        ";
constexpr std::size_t kMostOverlaps = 3;

std::string Counted(int count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string Quoted(std::string_view bytes) {
  return "\"" + Visible(bytes) + "\"";
}

// Shell values as they are, quoted only where the quotes show something: empty, or with
// spaces at an end.
std::string ShellValue(std::string_view value) {
  if (value.empty() || value.front() == ' ' || value.back() == ' ')
    return Quoted(value);
  return Visible(value);
}

void WriteLaunch(std::ostream& out, const LaunchExplanation& launch) {
  if (launch.problem != LaunchProblem::kNone) {
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

void WriteLine(std::ostream& out, const LineReport& line) {
  out << "line " << line.number << "  " << KindCode(line.kind);
  for (std::size_t f = 0; f < line.fields.size(); ++f)
    out << "  " << FieldName(static_cast<int>(f)) << " " << Quoted(line.fields[f]);
  out << "\n";
  if (line.verdict == Verdict::kSkipped)
    return;
  out << kIndent << (IsProblem(line.verdict) ? "PROBLEM: " : "ok: ") << line.reason << "\n";
  if (line.ShowsNext()) {
    out << kIndent << "next: " << (line.next.empty() ? "none within 400 years" : "");
    for (std::size_t i = 0; i < line.next.size(); ++i)
      out << (i > 0 ? ", " : "") << ReadableText(line.next[i]);
    out << "\n";
  }
  for (std::size_t i = 0; i < line.notExamined.size() && i < kMostOverlaps; ++i)
    out << kIndent << "not examined: " << line.notExamined[i].words << "\n";
  if (line.notExamined.size() > kMostOverlaps)
    out << kIndent << "not examined: and in the minutes of "
        << line.notExamined.size() - kMostOverlaps << " more lines above\n";
  if (line.launch && line.verdict != Verdict::kUnreached)
    WriteLaunch(out, *line.launch);
}

}  // namespace

void WriteTextReport(std::ostream& out, const FolderCheck& check) {
  out << "qefcheck " << Visible(check.folder) << "\n";
  out << "  task file    " << Visible(check.tasksPath) << " (" << check.lines.size() << " lines)\n";
  out << "  launch file  " << Visible(check.launchPath);
  if (check.launchPresent)
    out << " (" << check.launchLines << " lines)\n";
  else
    out << ": missing; the executer would create it empty, so no item launches\n";
  out << "  local time   " << ReadableText(check.now)
      << "; next times count from the minute after\n\n";

  for (const LineReport& line : check.lines) WriteLine(out, line);
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
      << (kinds.empty() ? "" : " (" + kinds + ")") << ": " << sum.launching
      << (sum.launching == 1 ? " launches" : " launch") << " on schedule, " << problemCount
      << (problemCount == 1 ? " has a problem" : " have problems");
  for (std::size_t i = 0; i < sum.problems.size(); ++i)
    out << (i > 0 ? ", " : problemCount == 1 ? " (line " : " (lines ") << sum.problems[i];
  out << (sum.problems.empty() ? ".\n" : ").\n");
}

}  // namespace pendulon
