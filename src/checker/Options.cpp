#include "checker/Options.h"

namespace pendulon {

CheckerOptions ParseOptions(const std::vector<std::string>& arguments) {
  CheckerOptions options;
  const auto wrong = [&](std::string complaint) {
    options.action = CheckerOptions::Action::kWrongUsage;
    options.complaint = std::move(complaint);
    return options;
  };
  bool optionsEnded = false;
  for (const std::string& argument : arguments) {
    if (!optionsEnded && argument == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && argument == "--json") {
      options.json = true;
    } else if (!optionsEnded && (argument == "--help" || argument == "-h" || argument == "/?")) {
      options.action = CheckerOptions::Action::kHelp;
    } else if (!optionsEnded && argument == "--version") {
      options.action = CheckerOptions::Action::kVersion;
    } else if (!optionsEnded && argument.size() > 1 && argument[0] == '-') {
      return wrong("unknown option " + argument);
    } else if (options.folder) {
      return wrong("more than one folder: " + *options.folder + " and " + argument);
    } else {
      options.folder = argument;
    }
  }
  return options;
}

std::string UsageText() {
  return "Usage: qefcheck [--json] [folder]   or   qefcheck --version\n"
         "Explains what the task executer will do with folder\\lib\\tasks.qef and\n"
         "folder\\lib\\launch.qef (default folder: the one qefcheck lies in).\n"
         "  --json  the report as JSON\n"
         "Exit status: 0 every task line fires and launches something, 1 a line has a\n"
         "problem, 2 the files cannot be read or the command line is wrong.\n";
}

}  // namespace pendulon
