#include "launcher/LaunchFileMemory.h"

#include "platform/Calendar.h"
#include "platform/Exceptions.h"
#include "platform/Win32Conventions.h"

namespace pendulon {
namespace {

// The coarsest last-write stamp of a Windows file system (FAT's two seconds), with a margin.
constexpr std::uint64_t kStampGrainMs = 3000;
constexpr FileTime kStampGrain = kStampGrainMs * (kFileTimeTicksPerSecond / 1000);

// The local clock's reading as a FILETIME, comparable with a local file time.
FileTime LocalFileTimeNow(HostSystem& host) {
  const SystemTime now = host.LocalTime();
  const std::int64_t seconds = DaysFromCivil(now.year, now.month, now.day) * 86400 +
                               now.hour * 3600 + now.minute * 60 + now.second;
  return FileTimeFromUnix(seconds, std::int64_t{now.milliseconds} * 1000000);
}

// True when the file was last written more than a stamp's grain before the clock's reading:
// a later save then gets a stamp of its own.
bool WrittenLongBefore(HostSystem& host, FileTime lastWrite, FileTime localNow) {
  FileTime local = 0;
  return host.ToLocalFileTime(lastWrite, local) && local + kStampGrain <= localNow;
}

}  // namespace

std::shared_ptr<const TQEFile> LaunchFileMemory::Read(HostSystem& host, const AnsiString& path) {
  const std::uint64_t now = host.Milliseconds();
  const FileTime wallNow = LocalFileTimeNow(host);
  {
    // Opened as a read would open it, so that a file locked, gone or turned into a device fails
    // this launch as a read of its own would.
    const FileHandle file = host.OpenToRead(path, kShareRead);
    if (file == kInvalidFile)
      throw EFOpenError(path);
    FileCloser closer(host, file);
    if (host.KindOf(file) != FileKind::kFile)
      throw EFOpenError(path);
  }
  const WriteMark mark = WriteMarkOf(host, path);
  if (!mark.present || path != path_ || mark != mark_) {
    path_ = path;
    mark_ = mark;
    markSeenAt_ = now;
    file_.reset();
  }
  if (file_ != nullptr && trusted_)
    return file_;
  auto file = std::make_shared<const TQEFile>(host, path);
  ++reads_;
  if (mark.present) {
    file_ = file;
    // The read holds the last save of its stamp when it began a grain after that stamp, by the
    // wall clock or by the time the mark has been seen unchanged.
    trusted_ =
        now >= markSeenAt_ + kStampGrainMs || WrittenLongBefore(host, mark.lastWrite, wallNow);
  }
  return file;
}

}  // namespace pendulon
