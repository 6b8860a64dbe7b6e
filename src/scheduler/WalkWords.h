#pragma once
// The words the scheduler gives the run log for what the minute walks did not do: times of day,
// durations, and why a walk began late, minutes went without one, or the clock went back.

#include <cstdint>
#include <optional>

#include "platform/AnsiString.h"
#include "platform/SystemTime.h"
#include "scheduler/ClockReading.h"

namespace pendulon {

// "08:31:00"
AnsiString TimeOfDay(const SystemTime& t);

// "0.5 s", "95 s", "24 min", "10 min 50 s", "3 h 5 min": the unit a person would use.
AnsiString DurationText(std::uint64_t milliseconds);

// "+01:00", "-03:30": an offset from UTC in minutes.
AnsiString OffsetText(std::int32_t minutes);

// What happened between two walks, as the scheduler saw it.
struct SinceLastWalk {
  ClockReading walk;          // when the last walk (or the start-up) began
  std::uint64_t heldMs = 0;   // launches during which no tick ran, in all
  bool timerRefused = false;  // the minute timer could not be set anew since
  // The last tick since that walked nothing, and the steps of the clock seen up to it, each way:
  // a step back and one forward between two walks cancel out, yet each moved the ticks.
  std::optional<ClockReading> lastTick;
  std::int64_t steppedForwardMs = 0, steppedBackMs = 0;
};

// Notes a tick that walked nothing, and the steps of the clock since the tick or walk before it.
void NoteTickWithoutWalk(SinceLastWalk& since, const ClockReading& now);

// Every cause the scheduler sees of a walk that began late at now, or of minutes without a walk
// before it, joined by "; ": "the computer slept 2 h", "the clock moved 24 min between two walks",
// "the clock was set back 90 s", "the clock's UTC offset went from +01:00 to +04:00", "a launch
// held the program 95 s", "the minute timer could not be set (not enough timers available)"; and
// when it sees none, "no timer tick came for 24 min (Windows held the program)".
AnsiString WhyLate(const SinceLastWalk& since, const ClockReading& now);

// Why the local clock went back: "the clock was set back 10 min 50 s", "the clock's UTC offset
// went from +02:00 to +01:00", or both.
AnsiString WhyBack(const ClockMovement& moved, std::int32_t nowOffset);

}  // namespace pendulon
