#pragma once
// The largest task and launch files qefcheck checks: far beyond any real one, yet small enough
// that whatever they hold is checked in under 2 s and 200 MB. A larger file is refused before it
// is read whole, so that a folder sent by anyone cannot make the check run for minutes.

#include <cstdint>
#include <optional>
#include <string>

#include "platform/AnsiString.h"
#include "platform/CheckingHost.h"
#include "platform/Exceptions.h"
#include "platform/FileReader.h"

namespace pendulon {

struct SizeLimit {
  const char* file;  // "a task file"
  int lines;
  std::uint64_t bytes;
};

inline constexpr SizeLimit kTaskFileLimit = {"a task file", 10'000, 4 << 20};
inline constexpr SizeLimit kLaunchFileLimit = {"a launch file", 100'000, 4 << 20};

// Raises Exception, saying what qefcheck checks, when the file at path is larger than the limit
// in bytes (looked up before it is read) or, once read, in lines (-1: not read yet).
void CheckSize(FileReader& files, const AnsiString& path, const SizeLimit& limit, int lines = -1);

// Reads the file at path whole, checked on the handle it is read from, so that a file swapped
// in meanwhile is judged as what is read: a link is refused unread (LinkRefused), a folder, pipe
// or device is not read (EFOpenError), and a file past the limit in bytes, as opened or as it
// grows while read, raises Exception as CheckSize does; never more than one byte past the limit
// is read.
std::string ReadWithin(CheckingHost& host, const AnsiString& path, const SizeLimit& limit);

// The refusal of a link in a folder, naming where it leads when that is known.
Exception LinkRefused(const AnsiString& path, const std::optional<AnsiString>& target);

}  // namespace pendulon
