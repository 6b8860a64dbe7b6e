#pragma once
// The clock as the minute walks count it: the local time and its offset from UTC, the same moment
// in UTC, the monotonic count, so that a step of the clock can be told from time that passed, and
// the count without sleeps, so that a sleeping machine can be told from a program held.

#include <cstdint>

#include "platform/HostSystem.h"
#include "platform/SystemTime.h"

namespace pendulon {

struct ClockReading {
  SystemTime local;
  std::int32_t offsetMinutes = 0;  // local time minus UTC
  std::int64_t utcMs = 0;          // milliseconds since 1970-01-01 00:00 UTC
  std::uint64_t monotonic = 0;
  std::uint64_t awake = 0;  // the monotonic count without the machine's sleeps

  // Minutes since 1970-01-01 00:00 UTC.
  std::int64_t UtcMinute() const;
  // The minute the local clock shows, as minutes since 1970-01-01 00:00 of the local clock: the
  // minute a walk serves, which the task lines match.
  std::int64_t LocalMinuteNumber() const;
  // Milliseconds since the local minute began.
  std::uint32_t IntoMinute() const;
};

ClockReading ReadClock(HostSystem& clock);

// The local minute (seconds zero) of a minute counted as LocalMinuteNumber counts it.
SystemTime MinuteTime(std::int64_t localMinute);

// How the clock moved from one reading to a later one, beyond the time that passed.
struct ClockMovement {
  std::int64_t steppedMs = 0;     // the wall clock set forward (or back, below 0)
  std::int32_t offsetChange = 0;  // minutes the offset from UTC grew (or shrank, below 0)
  std::uint64_t sleptMs = 0;      // the machine slept
  std::uint64_t passedMs = 0;     // the monotonic count's advance
};
ClockMovement MovementBetween(const ClockReading& from, const ClockReading& to);

}  // namespace pendulon
