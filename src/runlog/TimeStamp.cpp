#include "runlog/TimeStamp.h"

#include <cstdio>
#include <cstdlib>

#include "platform/Calendar.h"

namespace pendulon {
namespace {

constexpr std::string_view kStampPattern = "9999-99-99T99:99:99.999+99:99";
constexpr std::string_view kMinutePattern = "9999-99-99T99:99";

bool Fits(std::string_view text, std::string_view pattern) {
  if (text.size() != pattern.size())
    return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char want = pattern[i];
    const bool ok = want == '9'   ? text[i] >= '0' && text[i] <= '9'
                    : want == '+' ? text[i] == '+' || text[i] == '-'
                                  : text[i] == want;
    if (!ok)
      return false;
  }
  return true;
}

// The digits at [at, at + count) of a text that fits its pattern.
int Digits(std::string_view text, std::size_t at, std::size_t count) {
  int value = 0;
  for (std::size_t i = at; i < at + count; ++i) value = value * 10 + (text[i] - '0');
  return value;
}

// Reads the date and the hour and minute both patterns begin with; nothing for a date or a time
// of day that does not exist.
std::optional<SystemTime> ReadMinute(std::string_view text) {
  SystemTime t;
  const int year = Digits(text, 0, 4), month = Digits(text, 5, 2), day = Digits(text, 8, 2);
  const int hour = Digits(text, 11, 2), minute = Digits(text, 14, 2);
  if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) || hour > 23 ||
      minute > 59)
    return std::nullopt;
  const auto word = [](int value) { return static_cast<std::uint16_t>(value); };
  t.year = word(year);
  t.month = word(month);
  t.day = word(day);
  t.hour = word(hour);
  t.minute = word(minute);
  return t;
}

}  // namespace

AnsiString TimeStamp(const SystemTime& t, std::int32_t offset) {
  const int magnitude = std::abs(offset);
  char text[40];
  std::snprintf(text, sizeof text, "%04u-%02u-%02uT%02u:%02u:%02u.%03u%c%02d:%02d",
                unsigned{t.year} % 10000u, unsigned{t.month} % 100u, unsigned{t.day} % 100u,
                unsigned{t.hour} % 100u, unsigned{t.minute} % 100u, unsigned{t.second} % 100u,
                unsigned{t.milliseconds} % 1000u, offset < 0 ? '-' : '+', magnitude / 60 % 100,
                magnitude % 60);
  return text;
}

bool LooksLikeTimeStamp(std::string_view text) {
  return Fits(text, kStampPattern);
}

std::optional<ReadStamp> ParseTimeStamp(std::string_view text) {
  if (!Fits(text, kStampPattern))
    return std::nullopt;
  std::optional<SystemTime> t = ReadMinute(text);
  const int second = Digits(text, 17, 2), offsetHours = Digits(text, 24, 2),
            offsetMinutes = Digits(text, 27, 2);
  if (!t || second > 59 || offsetHours > 23 || offsetMinutes > 59)
    return std::nullopt;
  t->second = static_cast<std::uint16_t>(second);
  t->milliseconds = static_cast<std::uint16_t>(Digits(text, 20, 3));
  const int offset = offsetHours * 60 + offsetMinutes;
  return ReadStamp{*t, text[23] == '-' ? -offset : offset};
}

std::optional<SystemTime> ParseMinuteText(std::string_view text) {
  if (!Fits(text, kMinutePattern))
    return std::nullopt;
  return ReadMinute(text);
}

}  // namespace pendulon
