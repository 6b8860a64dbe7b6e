#include "platform/Clock.h"

#include <string>

namespace pendulon {

TDateTime Now(LocalClock& clock) {
  return EncodeDateTime(clock.LocalTime());
}

AnsiString ClockText(LocalClock& clock, const AnsiString& code) {
  return ClockText(clock.LocalTime(), code);
}

AnsiString ClockText(const SystemTime& t, const AnsiString& code) {
  if (code == "n")
    return DecimalText(t.minute);
  if (code == "h")
    return DecimalText(t.hour);
  if (code == "d")
    return DecimalText(t.day);
  if (code == "m")
    return DecimalText(t.month);
  if (code == "s")
    return DecimalText(t.second);
  if (code == "ss") {
    return AnsiString{static_cast<char>('0' + t.second / 10 % 10),
                      static_cast<char>('0' + t.second % 10)};
  }
  return AnsiString();
}

AnsiString DecimalText(std::int32_t value) {
  return std::to_string(value);
}

}  // namespace pendulon
