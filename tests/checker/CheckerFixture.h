#pragma once
// A simulated machine for the checker: the task folder C:\Tools with its lib folder, and a
// clock that reads Monday 2026-03-02 10:05:30.

#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "checker/Checker.h"
#include "checker/folder/FolderCheck.h"
#include "support/SimFixture.h"

namespace pendulon::sim {

// A launch file with one good section, Backup.
inline constexpr const char* kLaunchText =
    "<Backup>\r\npath=C:\\Tools\\backup.exe\r\nparams=/quiet D:\\Data\r\ndir=D:\\\r\n"
    "</Backup>\r\n";

class CheckerTest : public SimTest {
 protected:
  CheckerTest() {
    world.SetLocalTime(2026, 3, 2, 10, 5, 30);
    world.MakeDirectory("C:\\Tools\\lib");
  }

  // Writes the files (a missing launch file stays missing) and checks the folder.
  FolderCheck Check(const std::string& tasks, const std::optional<std::string>& launch) {
    world.WriteFile(kTasks, tasks);
    if (launch)
      world.WriteFile(kLaunch, *launch);
    return CheckFolder(platform, "C:\\Tools", '\\');
  }

  struct Outcome {
    int status = -1;
    std::string out, err;
  };
  Outcome Run(const std::vector<std::string>& arguments) {
    std::ostringstream out, err;
    Outcome outcome;
    Machine machine;
    machine.keepFollowing = [] { return false; };  // --follow looks once
    outcome.status = RunChecker(platform, arguments, '\\', out, err, machine);
    outcome.out = out.str();
    outcome.err = err.str();
    return outcome;
  }
};

}  // namespace pendulon::sim
