#pragma once
// The randomized month's checker. It reads only what an observer of the simulated machine sees
// (the world's own record of ticks, launches and their returns, reads of the task file, the
// launch file's contents, boxes, steps of the clock, zones, sleeps, refused timers, and every
// write to the run log) and holds the run log against a model of its own of what the executer
// promises. A record of the program is what it checks, never what it trusts, and it never calls
// the code it checks.

#include <cstdint>
#include <string>
#include <vector>

#include "support/MonthHistory.h"
#include "support/SimWorld.h"

namespace pendulon::sim {

struct Violation {
  std::int64_t at = 0;  // UTC ms
  std::string what;
};

// Every promise the month breaks, earliest first.
std::vector<Violation> CheckMonth(const MonthHistory& history, const SimWorld& world);

}  // namespace pendulon::sim
