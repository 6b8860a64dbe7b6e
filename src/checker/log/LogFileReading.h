#pragma once
// The one way qefcheck reads a file of the run log, for its report and for --follow alike:
// shared in every way, so that the executer can append to it and roll it over meanwhile; plain
// files only, as a pipe may never end and a device never stop; from an offset on, in pieces of
// 64 KiB, and never more than a bound, however the file grows while it is read.

#include <cstdint>

#include "platform/FileReader.h"
#include "platform/Links.h"
#include "runlog/RunLogLines.h"

namespace pendulon {

// The most qefcheck reads of a file of the run log: a log that cannot roll over may grow past it.
inline constexpr std::uint64_t kMostLogBytes = 16 * 1024 * 1024;

struct LogFileReading {
  bool opened = false;               // the file could be opened to read
  bool link = false;                 // the entry is a link, which is not opened
  FileKind kind = FileKind::kOther;  // what it reached; nothing is read of what is no file
  bool failed = false;               // a read failed part way
  bool tail = false;                 // only its last bytes were read, up to the bound
  std::uint64_t end = 0;             // the offset read up to
};

// Reads the file at path from offset on into lines, at most `most` bytes: of a file that holds
// more than that past the offset, only its last `most` bytes, from the first line that begins in
// them. With links, the entry is opened without following a link, and what it is, is judged on
// the handle read.
LogFileReading ReadLogFile(FileReader& files, Links* links, const AnsiString& path,
                           std::uint64_t offset, std::uint64_t most, RunLogLines& lines);

// Why an entry of the run log's name that is no plain file is not read ("it is a pipe, not a
// file").
const char* WhyNotRead(FileKind kind);

}  // namespace pendulon
