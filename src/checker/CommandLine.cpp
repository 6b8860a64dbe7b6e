#include "checker/CommandLine.h"

namespace pendulon {

Command ParseCommand(const std::vector<std::string>& arguments) {
  Command command;
  bool optionsEnded = false;
  for (const std::string& argument : arguments) {
    const bool option = !optionsEnded && argument.size() > 1 && argument[0] == '-';
    if (option && argument == "--") {
      optionsEnded = true;
    } else if (option && argument == "--json") {
      command.json = true;
    } else if ((option && (argument == "--help" || argument == "-h")) ||
               (!optionsEnded && argument == "/?")) {
      command.mode = Command::Mode::kHelp;
    } else if (option && argument == "--version") {
      command.mode = Command::Mode::kVersion;
    } else if (option && argument == "--follow") {
      command.mode = Command::Mode::kFollow;
    } else if (option) {
      command.wrong = "unknown option " + argument;
    } else if (command.folder) {
      command.wrong = "more than one folder: " + *command.folder + " and " + argument;
    } else {
      command.folder = argument;
    }
    if (!command.wrong.empty())
      break;
  }
  if (command.wrong.empty() && command.json && command.mode == Command::Mode::kFollow)
    command.wrong = "--follow writes text only, not --json";
  return command;
}

std::string Usage(char separator) {
  const std::string lib = std::string("folder") + separator + "lib" + separator;
  return "Usage: qefcheck [--json] [folder]\n"
         "       qefcheck --follow [folder]\n"
         "       qefcheck --version\n"
         "Explains what the task executer will do with " +
         lib + "tasks.qef and\n" + lib + "launch.qef, and, when " + lib +
         "pendulon.log (the run log) is\n"
         "there, what it did. Without a folder: the folder qefcheck lies in.\n"
         "  --json     the report as JSON\n"
         "  --follow   each new event of the run log in words as it is written, from the\n"
         "             last few on, until Ctrl-C\n"
         "Exit status: 0 every task line fires and launches something, 1 a line has a\n"
         "problem, 2 the files cannot be read, the report cannot be written, or the\n"
         "command line is wrong.\n";
}

}  // namespace pendulon
