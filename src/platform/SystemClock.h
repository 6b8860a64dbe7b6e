#pragma once
// The local clock of the machine. Logic reads the time only through one of these, never from a
// global clock, so a simulated clock can stand in for it.

#include <cstdint>

namespace pendulon {

// The local date and time as GetLocalTime gives it.
struct SystemTime {
  std::uint16_t year = 0, month = 0, dayOfWeek = 0, day = 0;
  std::uint16_t hour = 0, minute = 0, second = 0, milliseconds = 0;
};

class SystemClock {
 public:
  virtual ~SystemClock() = default;

  virtual SystemTime LocalTime() = 0;                  // GetLocalTime
  virtual void Sleep(std::uint32_t milliseconds) = 0;  // handles no messages
  // Milliseconds since some fixed moment, never set back (GetTickCount64): for durations.
  virtual std::uint64_t Milliseconds() = 0;
  // Local time minus UTC now, in minutes, daylight-saving time included (GetTimeZoneInformation).
  virtual std::int32_t UtcOffsetMinutes() = 0;
};

}  // namespace pendulon
