#pragma once
// The local clock as text, and the current date. Every call reads the clock anew.

#include <cstdint>

#include "platform/AnsiString.h"
#include "platform/Calendar.h"
#include "platform/LocalClock.h"

namespace pendulon {

// The current local date and time.
TDateTime Now(LocalClock& clock);

// One field of the current local time in decimal ASCII, independent of regional settings:
// "n" minute, "h" hour (24-hour clock), "d" day, "m" month, "s" second, "ss" second with two
// digits. Any other code gives the empty text.
AnsiString ClockText(LocalClock& clock, const AnsiString& code);

// The same field of one given reading of the clock.
AnsiString ClockText(const SystemTime& time, const AnsiString& code);

AnsiString DecimalText(std::int32_t value);

}  // namespace pendulon
