#pragma once
// qefcheck as a whole, on any platform: reads the command line, checks the folder, writes the
// report. Nothing thrown leaves it.

#include <ostream>
#include <string>
#include <vector>

#include "checker/folder/Machine.h"
#include "platform/CheckingHost.h"

namespace pendulon {

enum ExitStatus { kAllLaunch = 0, kLineProblem = 1, kCannotRead = 2 };

// Gives the exit status. separator is the one the system's paths use: the checker builds its
// own paths with it, while the executer's rules keep their "\".
int RunChecker(CheckingHost& platform, const std::vector<std::string>& arguments, char separator,
               std::ostream& out, std::ostream& err, const Machine& machine = {});

}  // namespace pendulon
