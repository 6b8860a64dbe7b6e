#include "platform/Clock.h"

#include <cmath>
#include <string>

#include "platform/Win32Conventions.h"

namespace pendulon {

std::int64_t DaysFromCivil(std::int64_t year, unsigned month, unsigned day) {
  year -= month <= 2;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const unsigned yearOfEra = static_cast<unsigned>(year - era * 400);
  const unsigned dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + static_cast<std::int64_t>(dayOfEra) - 719468;
}

CivilDate CivilFromDays(std::int64_t days) {
  days += 719468;
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const auto dayOfEra = static_cast<unsigned>(days - era * 146097);
  const unsigned yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const unsigned mp = (5 * dayOfYear + 2) / 153;
  CivilDate date;
  date.day = dayOfYear - (153 * mp + 2) / 5 + 1;
  date.month = mp < 10 ? mp + 3 : mp - 9;
  date.year = static_cast<std::int64_t>(yearOfEra) + era * 400 + (date.month <= 2);
  return date;
}

TDateTime EncodeDateTime(const SystemTime& t) {
  const double days =
      static_cast<double>(DaysFromCivil(t.year, t.month, t.day) + kDaysFrom1899To1970);
  const double ms = ((t.hour * 60.0 + t.minute) * 60.0 + t.second) * 1000.0 + t.milliseconds;
  return days + ms / 86400000.0;
}

TDateTime Now(SystemClock& clock) {
  return EncodeDateTime(clock.LocalTime());
}

AnsiString ClockText(SystemClock& clock, const AnsiString& code) {
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

int WeekdayNumber(TDateTime when) {
  const auto days = static_cast<std::int64_t>(std::floor(when));
  return static_cast<int>(((days + 6) % 7 + 7) % 7) + 1;
}

AnsiString DecimalText(std::int32_t value) {
  return std::to_string(value);
}

}  // namespace pendulon
