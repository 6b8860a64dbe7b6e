#include "scheduler/WalkWords.h"

#include <cstdio>
#include <string>

namespace pendulon {

AnsiString TimeOfDay(const SystemTime& t) {
  char text[16];
  std::snprintf(text, sizeof text, "%02u:%02u:%02u", unsigned{t.hour} % 100u,
                unsigned{t.minute} % 100u, unsigned{t.second} % 100u);
  return text;
}

AnsiString DurationText(std::uint64_t ms) {
  if (ms < 10000) {
    char text[16];
    std::snprintf(text, sizeof text, "%.1f s", static_cast<double>(ms) / 1000.0);
    return text;
  }
  const std::uint64_t seconds = (ms + 500) / 1000;
  if (seconds < 120)
    return std::to_string(seconds) + " s";
  const std::uint64_t minutes = (seconds + 30) / 60;
  if (minutes < 120)
    return std::to_string(minutes) + " min";
  return std::to_string(minutes / 60) + " h " + std::to_string(minutes % 60) + " min";
}

AnsiString WhyLate(const SinceLastWalk& since, const ClockReading& now) {
  const std::int64_t passed = static_cast<std::int64_t>(now.monotonic - since.walk.monotonic);
  const std::int64_t moved = (now.utcMs - since.walk.utcMs) - passed;
  // Steps of the clock below a second are the time service's usual corrections.
  if (moved >= 1000)
    return "the clock moved " + DurationText(static_cast<std::uint64_t>(moved)) +
           " between two walks";
  if (since.heldMs >= 1000)
    return "a launch held the program " + DurationText(since.heldMs);
  if (since.timerRefused)
    return "the minute timer could not be set (not enough timers available)";
  return "no timer tick came for " + DurationText(static_cast<std::uint64_t>(passed)) +
         " (the computer slept, or Windows held the program)";
}

}  // namespace pendulon
