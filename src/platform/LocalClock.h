#pragma once
// The local clock, read as a date and time. It is all the minute walk and the clock's text need,
// so a clock stopped at one minute can stand in for it without waiting or counting. Logic reads
// the time only through this or a host that includes it, never from a global clock.

#include "platform/SystemTime.h"

namespace pendulon {

class LocalClock {
 public:
  virtual ~LocalClock() = default;

  virtual SystemTime LocalTime() = 0;  // GetLocalTime
};

}  // namespace pendulon
