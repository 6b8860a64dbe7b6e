#pragma once
// The task table's scheduler on the simulated machine, as its tests stage it: the clock at
// Thursday 2026-03-05 10:15:30.250, items A and B in the launch file, and the scheduler's errors
// kept instead of shown.

#include <exception>
#include <map>
#include <string>
#include <vector>

#include "launcher/LaunchItem.h"
#include "platform/Exceptions.h"
#include "scheduler/TaskScheduler.h"
#include "support/SimFixture.h"

namespace pendulon::sim {

using V = std::vector<std::string>;

class TaskSchedulerTest : public SimTest {
 protected:
  TaskSchedulerTest() {
    world.SetLocalTime(2026, 3, 5, 10, 15, 30, 250);
    world.WriteFile(
        kLaunch, "<A>\r\npath=C:\\Apps\\a.exe\r\n</A>\r\n<B>\r\npath=C:\\Apps\\b.exe\r\n</B>\r\n");
  }

  // The items launched at each local "h:mm", in order.
  std::map<std::string, V> LaunchesByMinute() const {
    std::map<std::string, V> result;
    for (const ShellRecord& launch : world.launches) {
      const std::string minute = std::to_string(launch.localTime.hour) + ":" +
                                 (launch.localTime.minute < 10 ? "0" : "") +
                                 std::to_string(launch.localTime.minute);
      result[minute].push_back(launch.file.substr(8, 1));  // "C:\Apps\a.exe" -> "a"
    }
    return result;
  }

  std::int64_t At(int hour, int minute, int second, int ms = 0) const {
    return world.UtcOf(2026, 3, 5, hour, minute, second, ms);
  }

  void Start() {
    try {
      scheduler.StartScheduler();
    } catch (...) {
      errors.push_back(ErrorText(std::current_exception()));
    }
  }

  V errors;
  WindowHandle owner = world.AddWindow("TfrmPendulon", "Quillmar v.2.5 Final Release");
  TaskScheduler scheduler{platform, platform, owner,
                          [this](const AnsiString& item, int, const SystemTime&) {
                            LaunchItem(platform, owner, kLaunch, item);
                          },
                          [this](std::exception_ptr e) { errors.push_back(ErrorText(e)); }};
};

}  // namespace pendulon::sim
