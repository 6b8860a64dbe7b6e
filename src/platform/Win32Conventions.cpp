#include "platform/Win32Conventions.h"

#include <algorithm>
#include <cstring>

#include "platform/Calendar.h"

namespace pendulon {
namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

}  // namespace

FileTime FileTimeFromUnix(std::int64_t seconds, std::int64_t nanoseconds) {
  const std::int64_t since1601 = seconds + kSecondsFrom1601To1970;
  if (since1601 < 0)
    return 0;
  return static_cast<FileTime>(since1601) * kFileTimeTicksPerSecond +
         static_cast<FileTime>(nanoseconds / 100);
}

bool DosDateTimeOf(FileTime time, std::uint16_t& date, std::uint16_t& timeOfDay) {
  const std::int64_t seconds =
      static_cast<std::int64_t>(time / kFileTimeTicksPerSecond) - kSecondsFrom1601To1970;
  const std::int64_t days = FloorDiv(seconds, kSecondsPerDay);
  const std::int64_t inDay = seconds - days * kSecondsPerDay;
  // The range is checked in days first: a FILETIME reaches years the calendar cannot hold.
  if (days < DaysFromCivil(1980, 1, 1) || days > DaysFromCivil(2107, 12, 31))
    return false;
  const CivilDate d = CivilFromDays(days);
  date = static_cast<std::uint16_t>(((d.year - 1980) << 9) | (d.month << 5) | d.day);
  timeOfDay = static_cast<std::uint16_t>(((inDay / 3600) << 11) | ((inDay / 60 % 60) << 5) |
                                         (inDay % 60 / 2));
  return true;
}

std::uint32_t CopyModuleFileName(std::string_view path, char* buffer, std::uint32_t size) {
  if (size == 0)
    return 0;
  const std::size_t n = std::min<std::size_t>(path.size(), size - 1);
  if (n > 0)
    std::memcpy(buffer, path.data(), n);
  buffer[n] = '\0';
  return path.size() >= size ? size : static_cast<std::uint32_t>(n);
}

}  // namespace pendulon
