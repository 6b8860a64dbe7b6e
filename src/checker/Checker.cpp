#include "checker/Checker.h"

#include <algorithm>
#include <exception>

#include "Version.h"
#include "checker/CommandLine.h"
#include "checker/log/LogFollower.h"
#include "checker/report/AgendaReport.h"
#include "checker/report/JsonReport.h"
#include "checker/report/ShownOutput.h"
#include "checker/report/TextReport.h"
#include "checker/report/Windows1252Text.h"
#include "checker/report/WrappedLines.h"
#include "platform/Exceptions.h"
#include "platform/FolderFiles.h"

namespace pendulon {
namespace {

constexpr std::size_t kRecentEvents = 10;  // --follow begins with so many

// A command line that cannot be done: what is wrong with it, and where to read how to call
// qefcheck, in one line each, so that the complaint is not buried under the usage.
int WrongUsage(std::ostream& err, const std::string& complaint) {
  err << "qefcheck: " << Visible(complaint) << "\nqefcheck --help tells how to call it.\n";
  return kCannotRead;
}

// Why the task file may be missing, when a likely cause is seen; never raises. Without a
// folder given, the folder qefcheck lies in may hold the release's example rather than a lib.
std::string TasksHint(ReadingHost& platform, const AnsiString& folder, bool given, char separator) {
  if (folder.empty())
    return {};
  try {
    const AnsiString lib = JoinPath(folder, kLibFolder, separator);
    const std::string txt = SavedWithTxt(platform, JoinPath(lib, kTasksFile, separator), separator);
    const AnsiString example = JoinPath(folder, "example", separator);
    const AnsiString exampleLib = JoinPath(example, kLibFolder, separator);
    if (!txt.empty() || given ||
        !platform.FindFile(JoinPath(exampleLib, kTasksFile, separator)).found)
      return txt;
    return "the example's files lie in " + Visible(exampleLib) + ": copy them to " + Visible(lib) +
           ", or check them with: qefcheck " + Visible(example);
  } catch (...) {
    return {};  // no memory left even for the hint: the message alone must do
  }
}

// A folder of that name is there. Windows finds no drive root by name, only what lies in it.
bool FolderExists(FileReader& files, const AnsiString& folder, char separator) {
  return files.FindFile(folder).directory ||
         (separator == '\\' && files.FindFile(JoinPath(folder, "*", separator)).found);
}

// Says that the report was cut short, when it was: its reader must not take it for whole.
int Written(bool failed, int status, std::ostream& err) {
  if (!failed)
    return status;
  err << "qefcheck: the report could not be written in full (is the disk full, or has the "
         "program reading it ended?)\n";
  return kCannotRead;
}

// Looks at the log every half second, saying each new event, until told to stop or until the
// output fails.
int Follow(CheckingHost& platform, const Machine& machine, const AnsiString& log,
           std::ostream& text, const ShownOutput& shown, std::ostream& err) {
  LogFollower follower(platform, &platform, log, text, &platform);
  text << "following " << Visible(log) << ": each event in words as it is written, until Ctrl-C\n";
  follower.ShowRecent(kRecentEvents);
  for (;;) {
    follower.Look();
    text.flush();
    if (shown.Failed())
      return Written(true, kAllLaunch, err);
    if (machine.keepFollowing && !machine.keepFollowing())
      return kAllLaunch;
    platform.Sleep(500);
  }
}

}  // namespace

int RunChecker(CheckingHost& platform, const std::vector<std::string>& arguments, char separator,
               std::ostream& rawOut, std::ostream& rawErr, const Machine& machine) {
  // Every text for the terminal goes out as the terminal shows it; the JSON is ASCII already.
  Windows1252Text windows1252;
  ConsoleText& console = machine.console != nullptr ? *machine.console : windows1252;
  ShownOutput shownOut(rawOut, platform, console), shownErr(rawErr, platform, console);
  // In a window of its own, lines are wrapped at words to the window's width, not mid-word.
  WrappedLines wrapped(shownOut, static_cast<std::size_t>(std::max(machine.consoleWidth, 0)));
  const bool wrap = machine.ownWindow && machine.consoleWidth >= 40;
  std::ostream text(wrap ? static_cast<std::streambuf*>(&wrapped) : &shownOut), err(&shownErr);
  const Command command = ParseCommand(arguments);
  if (!command.wrong.empty())
    return WrongUsage(err, command.wrong);
  if (command.mode == Command::Mode::kHelp || command.mode == Command::Mode::kVersion) {
    text << (command.mode == Command::Mode::kHelp ? Usage(separator)
                                                  : std::string("qefcheck ") + kVersionText + "\n");
    text.flush();
    return Written(shownOut.Failed(), kAllLaunch, err);
  }
  const bool given = command.folder.has_value();
  if (command.mode == Command::Mode::kFollow) {
    const AnsiString folder = given ? *command.folder : OwnFolder(platform, separator);
    if (given && !FolderExists(platform, folder, separator)) {
      err << "qefcheck: no such folder: " << Visible(folder) << "\n";
      return kCannotRead;
    }
    const AnsiString lib = JoinPath(folder, kLibFolder, separator);
    if (const auto target = platform.LinkTarget(lib)) {
      err << "qefcheck: " << Visible(lib) << " is a link to " << Visible(*target)
          << ": qefcheck reads nothing through a link, which may lead out of the folder\n";
      return kCannotRead;
    }
    return Follow(platform, machine, JoinPath(lib, kRunLogFile, separator), text, shownOut, err);
  }
  AnsiString folder;
  try {
    folder = given ? *command.folder : OwnFolder(platform, separator);
    const FolderCheck check = CheckFolder(platform, folder, separator, machine);
    if (command.mode == Command::Mode::kNext) {
      if (command.json) {
        WriteAgendaJson(rawOut, check, command.spanMinutes, platform);
        rawOut.flush();
        return Written(!rawOut, check.ExitStatus(), err);
      }
      WriteAgendaText(text, check, command.spanMinutes, command.spanWords, platform);
      text.flush();
      return Written(shownOut.Failed(), check.ExitStatus(), err);
    }
    if (command.json) {
      WriteJsonReport(rawOut, check);
      rawOut.flush();
      return Written(!rawOut, check.ExitStatus(), err);
    }
    WriteTextReport(text, check);
    if (machine.ownWindow && check.pendulon)
      text << "  " << check.pendulon->words << "\n";
    text.flush();
    return Written(shownOut.Failed(), check.ExitStatus(), err);
  } catch (...) {
    // A file that cannot be read, or no memory for it: either way the folder is not checked.
    std::string message = ErrorText(std::current_exception());
    if (given && !FolderExists(platform, folder, separator))
      message = "no such folder: " + folder;
    else if (!given)
      message = "no folder given, so qefcheck checked its own folder " + folder + ": " + message;
    const std::string hint = TasksHint(platform, folder, given, separator);
    if (command.json) {
      WriteJsonFailure(rawOut, folder, message, hint);
      rawOut.flush();
    }
    err << "qefcheck: " << Visible(message) << "\n";
    if (!hint.empty())
      err << "qefcheck: hint: " << hint << "\n";
    return kCannotRead;
  }
}

}  // namespace pendulon
