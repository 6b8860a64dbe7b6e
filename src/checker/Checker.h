#pragma once
// qefcheck as a whole, on any platform: reads the command line, checks the folder, writes the
// report. Nothing thrown leaves it.

#include <ostream>
#include <string>
#include <vector>

#include "platform/ConsoleText.h"
#include "platform/HostSystem.h"

namespace pendulon {

enum ExitStatus { kAllLaunch = 0, kLineProblem = 1, kCannotRead = 2 };

// What the entry knows of the machine qefcheck runs on, beyond its host system. A part the
// system lacks is left out.
struct Machine {
  // qefcheck runs where the executer does, so a path on a drive letter in the launch file can
  // be looked up (see CheckFolder).
  bool checkDrivePaths = false;
  // How the terminal shows the files' ANSI text; without one, as Windows-1252 in UTF-8.
  ConsoleText* console = nullptr;
};

// Gives the exit status. separator is the one the system's paths use: the checker builds its
// own paths with it, while the executer's rules keep their "\".
int RunChecker(HostSystem& platform, const std::vector<std::string>& arguments, char separator,
               std::ostream& out, std::ostream& err, const Machine& machine = {});

}  // namespace pendulon
