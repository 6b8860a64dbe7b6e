#include "checker/log/LogFileReading.h"

#include <algorithm>

#include "platform/Files.h"
#include "runlog/RunLogWords.h"

namespace pendulon {

const char* WhyNotRead(FileKind kind) {
  switch (kind) {
    case FileKind::kPipe:
      return "it is a pipe, not a file";
    case FileKind::kDevice:
      return "it is a device, not a file";
    case FileKind::kFile:
    case FileKind::kOther:
      break;
  }
  return "it is not a regular file";
}

LogFileReading ReadLogFile(FileReader& files, Links* links, const AnsiString& path,
                           std::uint64_t offset, std::uint64_t most, RunLogLines& lines) {
  LogFileReading reading;
  reading.end = offset;
  const FileHandle file = links != nullptr ? links->OpenUnfollowed(path, kRunLogShare, reading.link)
                                           : files.OpenToRead(path, kRunLogShare);
  const FileCloser closer(files, file);
  reading.opened = file != kInvalidFile;
  if (!reading.opened)
    return reading;
  reading.kind = files.KindOf(file);
  if (reading.kind != FileKind::kFile)
    return reading;
  std::uint64_t size = 0;
  std::uint64_t from = offset;
  if (files.SizeOf(file, size) && size > offset && size - offset > most) {
    from = size - most;
    reading.tail = true;
    lines.BeginInsideALine();
  }
  if (files.Seek(file, static_cast<std::int64_t>(from), kSeekBegin) < 0) {
    reading.failed = true;
    return reading;
  }
  reading.end = from;
  char buffer[65536];
  for (std::uint64_t left = most; left > 0;) {
    std::uint32_t got = 0;
    const auto want = static_cast<std::uint32_t>(std::min<std::uint64_t>(sizeof buffer, left));
    if (!files.Read(file, buffer, want, got)) {
      reading.failed = true;
      break;
    }
    if (got == 0)
      break;
    left -= got;
    reading.end += got;
    lines.Add(std::string_view(buffer, got));
  }
  return reading;
}

}  // namespace pendulon
