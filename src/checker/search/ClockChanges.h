#pragma once
// How often the local clock shows a minute: once; twice, where the clock is set back over it; or
// never, where it jumps over it. Learnt from the time zone one day at a time, for the days asked
// about only.

#include <cstdint>
#include <map>
#include <vector>

#include "checker/search/Schedule.h"
#include "platform/TimeZone.h"

namespace pendulon {

struct MinuteOccurrence {
  int times = 1;  // 0, 1 or 2
  // When times is 0: the clock goes from `from` straight to `to` (02:00 to 03:00).
  LocalMinute from, to;
};

class ClockChanges {
 public:
  explicit ClockChanges(TimeZone& zone) : zone_(zone) {}

  MinuteOccurrence Occurrences(const LocalMinute& minute);

 private:
  struct Stretch {
    std::int64_t fromUtc;  // in minutes since 1970
    std::int32_t offset;   // minutes, from then on
  };
  // The offsets in force around a local day, from before its first minute to after its last.
  const std::vector<Stretch>& Around(std::int64_t localDay);
  std::int32_t OffsetAt(std::int64_t utcMinute) { return zone_.UtcOffsetMinutesAt(utcMinute * 60); }

  TimeZone& zone_;
  std::map<std::int64_t, std::vector<Stretch>> days_;
};

// Minutes since 1970-01-01 00:00 of a local minute, and back.
std::int64_t MinuteNumber(const LocalMinute& minute);
LocalMinute MinuteAt(std::int64_t number);

}  // namespace pendulon
