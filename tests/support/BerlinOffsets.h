#pragma once
// Europe/Berlin's offsets from UTC either side of the clock changes of 2027, which happen at
// 01:00 UTC: to summer time on 28 March, back to winter time on 31 October.

#include <cstdint>

#include "platform/Calendar.h"

namespace pendulon {

struct ZoneOffsetAt {
  std::int64_t utcSeconds;
  std::int32_t offsetMinutes;
};

// Seconds since 1970 of a UTC minute of 2027, counted from that day's midnight.
inline std::int64_t Utc2027(unsigned month, unsigned day, int minute) {
  return (DaysFromCivil(2027, month, day) * 24 * 60 + minute) * 60;
}

inline const ZoneOffsetAt kBerlinOffsets2027[] = {
    {Utc2027(3, 28, 59), 60},
    {Utc2027(3, 28, 60), 120},
    {Utc2027(10, 31, 59), 120},
    {Utc2027(10, 31, 60), 60},
};

}  // namespace pendulon
