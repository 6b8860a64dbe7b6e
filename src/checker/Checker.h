#pragma once
// qefcheck as a whole, on any platform: reads the command line, checks the folder, writes the
// report. Nothing thrown leaves it.

#include <ostream>
#include <string>
#include <vector>

#include "platform/HostSystem.h"

namespace pendulon {

enum ExitStatus { kAllLaunch = 0, kLineProblem = 1, kCannotRead = 2 };

// Gives the exit status. separator is the one the system's paths use: the checker builds its
// own paths with it, while the executer's rules keep their "\".
// checkDrivePaths: the entry runs on the executer's own system, where a path on a drive letter
// in the launch file can be looked up (see CheckFolder).
int RunChecker(HostSystem& platform, const std::vector<std::string>& arguments, char separator,
               std::ostream& out, std::ostream& err, bool checkDrivePaths = false);

}  // namespace pendulon
