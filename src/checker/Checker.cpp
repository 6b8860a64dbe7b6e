#include "checker/Checker.h"

#include <exception>
#include <optional>

#include "Version.h"
#include "checker/JsonReport.h"
#include "checker/ShownOutput.h"
#include "checker/TextReport.h"
#include "checker/Windows1252Text.h"
#include "platform/Exceptions.h"

namespace pendulon {
namespace {

constexpr const char* kUsage =
    "Usage: qefcheck [--json] [folder]   or   qefcheck --version\n"
    "Explains what the task executer will do with folder\\lib\\tasks.qef and\n"
    "folder\\lib\\launch.qef (default folder: the one qefcheck lies in).\n"
    "  --json  the report as JSON\n"
    "Exit status: 0 every task line fires and launches something, 1 a line has a\n"
    "problem, 2 the files cannot be read or the command line is wrong.\n";

int WrongUsage(std::ostream& err, const std::string& complaint) {
  err << "qefcheck: " << Visible(complaint) << "\n" << kUsage;
  return kCannotRead;
}

// Why the task file may be missing, when a likely cause is seen; never raises.
std::string TasksHint(HostSystem& platform, const AnsiString& folder, char separator) {
  if (folder.empty())
    return {};
  try {
    const AnsiString lib = JoinPath(folder, "lib", separator);
    return SavedWithTxt(platform, JoinPath(lib, "tasks.qef", separator), separator);
  } catch (...) {
    return {};  // no memory left even for the hint: the message alone must do
  }
}

}  // namespace

int RunChecker(HostSystem& platform, const std::vector<std::string>& arguments, char separator,
               std::ostream& rawOut, std::ostream& rawErr, const Machine& machine) {
  // Every text for the terminal goes out as the terminal shows it; the JSON is ASCII already.
  Windows1252Text windows1252;
  ConsoleText& console = machine.console != nullptr ? *machine.console : windows1252;
  ShownOutput shownOut(rawOut, platform, console), shownErr(rawErr, platform, console);
  std::ostream text(&shownOut), err(&shownErr);
  // [--json] [folder], or --help, or --version; "--" ends the options.
  bool json = false, optionsEnded = false;
  std::optional<std::string> given;  // none: the folder the checker itself lies in
  std::string answer;                // for --help and --version: printed instead of a report
  for (const std::string& argument : arguments) {
    const bool option = !optionsEnded && argument.size() > 1 && argument[0] == '-';
    if (option && argument == "--") {
      optionsEnded = true;
    } else if (option && argument == "--json") {
      json = true;
    } else if ((option && (argument == "--help" || argument == "-h")) ||
               (!optionsEnded && argument == "/?")) {
      answer = kUsage;
    } else if (option && argument == "--version") {
      answer = std::string("qefcheck ") + kVersion + "\n";
    } else if (option) {
      return WrongUsage(err, "unknown option " + argument);
    } else if (given) {
      return WrongUsage(err, "more than one folder: " + *given + " and " + argument);
    } else {
      given = argument;
    }
  }
  if (!answer.empty()) {
    text << answer;
    return kAllLaunch;
  }
  AnsiString folder;
  try {
    folder = given ? *given : OwnFolder(platform, separator);
    const FolderCheck check = CheckFolder(platform, folder, separator, machine.checkDrivePaths);
    if (json)
      WriteJsonReport(rawOut, check);
    else
      WriteTextReport(text, check);
    return check.ExitStatus();
  } catch (...) {
    // A file that cannot be read, or no memory for it: either way the folder is not checked.
    const std::string message = ErrorText(std::current_exception());
    const std::string hint = TasksHint(platform, folder, separator);
    if (json)
      WriteJsonFailure(rawOut, folder, message, hint);
    err << "qefcheck: " << Visible(message) << "\n";
    if (!hint.empty())
      err << "qefcheck: hint: " << hint << "\n";
    return kCannotRead;
  }
}

}  // namespace pendulon
