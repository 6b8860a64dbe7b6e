#include "checker/FolderCheck.h"

#include "checker/DryRunPlatform.h"
#include "launcher/RunItem.h"
#include "platform/Files.h"
#include "platform/Process.h"

namespace pendulon {

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

FolderCheck CheckFolder(HostSystem& platform, const AnsiString& folder, char separator) {
  FolderCheck check;
  check.folder = folder;
  const AnsiString lib = JoinPath(folder, "lib", separator);
  check.tasksPath = JoinPath(lib, "tasks.qef", separator);
  check.launchPath = JoinPath(lib, "launch.qef", separator);
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
  LaunchExplainer launches(dry, check.launchPath, check.launchPresent);
  check.launchLines = launches.LineCount();

  check.lines = AnalyseLines(tasks, launches, check.now);
  FolderCheck::Summary& sum = check.summary;
  for (const LineReport& line : check.lines) {
    sum.empty += line.kind == LineKind::kEmpty ? 1 : 0;
    sum.comments += line.kind == LineKind::kComment ? 1 : 0;
    sum.tasks += line.kind == LineKind::kTask ? 1 : 0;
    sum.launching += line.verdict == Verdict::kLaunches ? 1 : 0;
    if (IsProblem(line.verdict))
      sum.problems.push_back(line.number);
  }
  return check;
}

}  // namespace pendulon
