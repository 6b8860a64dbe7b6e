#pragma once
// The words the scheduler gives the run log for what the minute walks did not do: times of day,
// durations, and why a walk began late or minutes went without one.

#include <cstdint>

#include "platform/AnsiString.h"
#include "platform/SystemTime.h"
#include "scheduler/ClockReading.h"

namespace pendulon {

// "08:31:00"
AnsiString TimeOfDay(const SystemTime& t);

// "0.5 s", "95 s", "24 min", "3 h 5 min": the unit a person would use.
AnsiString DurationText(std::uint64_t milliseconds);

// What happened between two walks, as the scheduler saw it.
struct SinceLastWalk {
  ClockReading walk;          // when the last walk (or the start-up) began
  std::uint64_t heldMs = 0;   // launches during which no tick ran, in all
  bool timerRefused = false;  // the minute timer could not be set anew meanwhile
};

// Why a walk began at now, late or after minutes without a walk: "the clock moved 24 min between
// two walks", "a launch held the program 95 s", "the minute timer could not be set", or "no timer
// tick came for 24 min (the computer slept, or Windows held the program)".
AnsiString WhyLate(const SinceLastWalk& since, const ClockReading& now);

}  // namespace pendulon
