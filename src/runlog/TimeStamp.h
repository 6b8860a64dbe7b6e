#pragma once
// The run log's clock texts: the stamp that begins each line, the local time to the millisecond
// with its UTC offset (2026-12-09T08:30:00.214+01:00), and the minute a tick serves
// (2026-12-09T08:30). Written from a clock reading, and read back.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/AnsiString.h"
#include "platform/Calendar.h"
#include "platform/SystemTime.h"

namespace pendulon {

constexpr std::size_t kTimeStampLength = 29;

AnsiString TimeStamp(const SystemTime& local, std::int32_t utcOffsetMinutes);
// The minute's text is the calendar's (MinuteText in platform/Calendar.h).

// True when the text has the stamp's shape: digits where 2026-12-09T08:30:00.214+01:00 has
// digits, a sign where it has "+", the rest exactly; whether the date exists is not asked.
bool LooksLikeTimeStamp(std::string_view text);

struct ReadStamp {
  SystemTime local;  // its dayOfWeek is not set
  std::int32_t utcOffsetMinutes = 0;
};

// The stamp of a date and time that exist, with an offset below 24 hours; nothing otherwise.
std::optional<ReadStamp> ParseTimeStamp(std::string_view text);

// The minute text of a date and time that exist; nothing otherwise.
std::optional<SystemTime> ParseMinuteText(std::string_view text);

}  // namespace pendulon
