#pragma once
// qefcheck's command line: what it is asked to do, with which folder, and the usage text.

#include <optional>
#include <string>
#include <vector>

namespace pendulon {

struct Command {
  enum class Mode { kReport, kNext, kFollow, kHelp, kVersion } mode = Mode::kReport;
  bool json = false;
  std::optional<std::string> folder;  // none: the folder qefcheck itself lies in
  int spanMinutes = 24 * 60;          // --next: the span ahead
  std::string spanWords = "24 hours";
  std::string wrong;  // what is wrong with the command line; empty when nothing
};

// "--" ends the options; "/?" asks for help, as Windows programs take it.
Command ParseCommand(const std::vector<std::string>& arguments);

// How to call qefcheck, with paths written as the system writes them (separator "\" or "/").
std::string Usage(char separator);

}  // namespace pendulon
