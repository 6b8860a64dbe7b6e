#pragma once
// The local clock and a wait that handles no messages: all that the start-up's wait for second
// 00 needs of the system.

#include <cstdint>

#include "platform/LocalClock.h"

namespace pendulon {

class WaitingClock : public LocalClock {
 public:
  virtual void Sleep(std::uint32_t milliseconds) = 0;  // Sleep; handles no messages
};

}  // namespace pendulon
