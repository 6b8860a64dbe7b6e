#pragma once
// The machine's clock: the local time, a wait, a count for durations and the offset from UTC now.

#include <cstdint>

#include "platform/LocalClock.h"

namespace pendulon {

class SystemClock : public LocalClock {
 public:
  virtual void Sleep(std::uint32_t milliseconds) = 0;  // handles no messages
  // Milliseconds since some fixed moment, never set back (GetTickCount64): for durations.
  virtual std::uint64_t Milliseconds() = 0;
  // Local time minus UTC now, in minutes, daylight-saving time included (GetTimeZoneInformation).
  virtual std::int32_t UtcOffsetMinutes() = 0;
};

}  // namespace pendulon
