#pragma once
// The whole program on the simulated machine, as the program's tests stage it: the executable in
// C:\Tools, started with "-w quillmar", the family's three windows open, and the clock at
// Thursday 2026-03-05 10:15:30.250, with the tests' own files and events added before Run.

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/Program.h"
#include "support/SimFixture.h"

namespace pendulon::sim {

inline constexpr const char* kAccepted = "\"C:\\Tools\\pendulon.exe\" \"-w quillmar\"";

class Scenario {
 public:
  explicit Scenario(bool familyOpen = true) {
    world.SetLocalTime(2026, 3, 5, 10, 15, 30, 250);
    if (familyOpen)
      family = world.OpenFamily();
  }

  // The moment the clock shows that time of the scenario's day.
  std::int64_t At(int hour, int minute, int second, int ms = 0) const {
    return world.UtcOf(2026, 3, 5, hour, minute, second, ms);
  }

  // The family's windows go at that time of the day.
  void FamilyLeavesAt(int hour, int minute, int second) {
    world.At(At(hour, minute, second), [this] {
      for (const WindowHandle window : family) world.RemoveWindow(window);
    });
  }

  // Runs one copy of the program to its end; gives its exit code and keeps when it ended and how
  // many minute and watchdog ticks it handled.
  int RunToEnd(const std::string& commandLine = kAccepted) {
    SimPlatform process(world, kExe, commandLine);
    const int code = RunProgram(process);
    minuteTicks = process.Ticks(60000);
    watchdogTicks = process.Ticks(4999);
    endedAt = world.Now();
    return code;
  }

  SimWorld world;
  std::vector<WindowHandle> family;
  int minuteTicks = 0;
  int watchdogTicks = 0;
  std::int64_t endedAt = 0;
};

// A test of the whole program, with one scenario as its fixture.
class ScenarioTest : public ::testing::Test, protected Scenario {};

}  // namespace pendulon::sim
