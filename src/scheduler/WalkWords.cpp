#include "scheduler/WalkWords.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace pendulon {
namespace {

// Steps of the clock below a second are the time service's usual corrections, and never make a
// walk late by themselves.
constexpr std::int64_t kStepThatCounts = 1000;

void Add(AnsiString& causes, const AnsiString& cause) {
  causes += (causes.empty() ? "" : "; ") + cause;
}

AnsiString OffsetChange(const ClockMovement& moved, std::int32_t nowOffset) {
  return "the clock's UTC offset went from " + OffsetText(nowOffset - moved.offsetChange) + " to " +
         OffsetText(nowOffset);
}

AnsiString SetBack(std::int64_t steppedMs) {
  return "the clock was set back " + DurationText(static_cast<std::uint64_t>(-steppedMs));
}

}  // namespace

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
  if (seconds < 3600)
    return std::to_string(seconds / 60) + " min" +
           (seconds % 60 != 0 ? " " + std::to_string(seconds % 60) + " s" : "");
  const std::uint64_t minutes = (seconds + 30) / 60;
  return std::to_string(minutes / 60) + " h" +
         (minutes % 60 != 0 ? " " + std::to_string(minutes % 60) + " min" : "");
}

AnsiString OffsetText(std::int32_t minutes) {
  char text[16];
  const int magnitude = std::abs(minutes);
  std::snprintf(text, sizeof text, "%c%02d:%02d", minutes < 0 ? '-' : '+', magnitude / 60 % 100,
                magnitude % 60);
  return text;
}

void NoteTickWithoutWalk(SinceLastWalk& since, const ClockReading& now) {
  const std::int64_t stepped = MovementBetween(since.lastTick.value_or(since.walk), now).steppedMs;
  (stepped > 0 ? since.steppedForwardMs : since.steppedBackMs) += stepped > 0 ? stepped : -stepped;
  since.lastTick = now;
}

AnsiString WhyLate(const SinceLastWalk& since, const ClockReading& now) {
  const ClockMovement moved = MovementBetween(since.walk, now);
  // Steps are summed each way from what the ticks between saw; the wait from the last tick.
  const ClockMovement recent = MovementBetween(since.lastTick.value_or(since.walk), now);
  const std::int64_t forward =
      since.steppedForwardMs + (recent.steppedMs > 0 ? recent.steppedMs : 0);
  const std::int64_t back = since.steppedBackMs + (recent.steppedMs < 0 ? -recent.steppedMs : 0);
  AnsiString causes;
  if (moved.sleptMs >= static_cast<std::uint64_t>(kStepThatCounts))
    Add(causes, "the computer slept " + DurationText(moved.sleptMs));
  if (forward >= kStepThatCounts)
    Add(causes, "the clock moved " + DurationText(static_cast<std::uint64_t>(forward)) +
                    " between two walks");
  if (back >= kStepThatCounts)
    Add(causes, SetBack(-back));
  if (moved.offsetChange != 0)
    Add(causes, OffsetChange(moved, now.offsetMinutes));
  if (since.heldMs >= static_cast<std::uint64_t>(kStepThatCounts))
    Add(causes, "a launch held the program " + DurationText(since.heldMs));
  if (since.timerRefused)
    Add(causes, "the minute timer could not be set (not enough timers available)");
  if (causes.empty())
    causes =
        "no timer tick came for " + DurationText(recent.passedMs) + " (Windows held the program)";
  return causes;
}

AnsiString WhyBack(const ClockMovement& moved, std::int32_t nowOffset) {
  AnsiString causes;
  if (moved.steppedMs < 0)
    Add(causes, SetBack(moved.steppedMs));
  if (moved.offsetChange < 0)
    Add(causes, OffsetChange(moved, nowOffset));
  return causes;
}

}  // namespace pendulon
