#pragma once
// qefcheck's command line: [--json] [folder], or --help, or --version.

#include <optional>
#include <string>
#include <vector>

namespace pendulon {

struct CheckerOptions {
  enum class Action { kCheck, kHelp, kVersion, kWrongUsage };

  Action action = Action::kCheck;
  bool json = false;
  std::optional<std::string> folder;  // none: the folder the checker itself lies in
  std::string complaint;              // kWrongUsage: what is wrong
};

// The arguments without the program's name. "--" ends the options.
CheckerOptions ParseOptions(const std::vector<std::string>& arguments);

std::string UsageText();

}  // namespace pendulon
