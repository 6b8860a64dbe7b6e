#pragma once
// The clock as the minute walks count it: the local time, the same moment in UTC, so that the
// hour the clock shows twice when summer time ends holds two different minutes, and the monotonic
// count, so that a step of the clock can be told from time that passed.

#include <cstdint>

#include "platform/HostSystem.h"
#include "platform/SystemTime.h"
#include "platform/TimeZone.h"

namespace pendulon {

struct ClockReading {
  SystemTime local;
  std::int64_t utcMs = 0;  // milliseconds since 1970-01-01 00:00 UTC
  std::uint64_t monotonic = 0;

  // Minutes since 1970-01-01 00:00 UTC: the minute of the clock that a walk serves.
  std::int64_t UtcMinute() const;
  // Milliseconds since the local minute began.
  std::uint32_t IntoMinute() const;
};

ClockReading ReadClock(HostSystem& clock);

// The local minute (seconds zero) that the clock shows in that UTC minute.
SystemTime LocalMinute(TimeZone& zone, std::int64_t utcMinute);

}  // namespace pendulon
