#pragma once
// How Win32 counts and cuts, worked out without it: the epochs of its time types, the packing of
// an MS-DOS date and GetModuleFileNameA's cut. The platforms that answer in its place (POSIX and
// the simulated machine) and the clock helpers share these, so each rule is
// written once.

#include <cstdint>
#include <string_view>

#include "platform/FileReader.h"

namespace pendulon {

// FILETIME counts 100 ns from 1601-01-01; Unix time counts seconds from 1970-01-01.
constexpr std::int64_t kFileTimeTicksPerSecond = 10000000;
constexpr std::int64_t kSecondsFrom1601To1970 = 11644473600;

// The date type's day 0 is 1899-12-30.
constexpr std::int64_t kDaysFrom1899To1970 = 25569;

// FILETIME for seconds and nanoseconds since 1970 (UTC); 0 before 1601.
FileTime FileTimeFromUnix(std::int64_t seconds, std::int64_t nanoseconds);

// As FileTimeToDosDateTime: the date (year since 1980, month, day) and the time of day (hours,
// minutes, seconds halved) of a FILETIME; false outside the years 1980 to 2107.
bool DosDateTimeOf(FileTime time, std::uint16_t& date, std::uint16_t& timeOfDay);

// As GetModuleFileNameA copies a path into a buffer of size bytes: a path that does not fit is
// cut to size - 1 bytes and size returned; otherwise its length. Always ends with a NUL unless
// size is 0.
std::uint32_t CopyModuleFileName(std::string_view path, char* buffer, std::uint32_t size);

}  // namespace pendulon
