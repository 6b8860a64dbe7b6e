#pragma once
// The machine's time zone: how far its local clock stands from UTC at any moment, past or
// future, by the rules the system holds for it, daylight-saving time included.

#include <cstdint>

namespace pendulon {

class TimeZone {
 public:
  virtual ~TimeZone() = default;

  // Local time minus UTC, in minutes, at the moment that many seconds after 1970-01-01 00:00
  // UTC (SystemTimeToTzSpecificLocalTime; localtime_r).
  virtual std::int32_t UtcOffsetMinutesAt(std::int64_t utcSeconds) = 0;
};

}  // namespace pendulon
