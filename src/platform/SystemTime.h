#pragma once
// A reading of the local clock, as GetLocalTime gives it.

#include <cstdint>

namespace pendulon {

struct SystemTime {
  std::uint16_t year = 0, month = 0, dayOfWeek = 0, day = 0;
  std::uint16_t hour = 0, minute = 0, second = 0, milliseconds = 0;
};

}  // namespace pendulon
