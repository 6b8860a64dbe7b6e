#include "platform/posix/PosixPlatform.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <string>

#include "platform/Win32Conventions.h"

namespace pendulon {

SystemTime PosixPlatform::LocalTime() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  tm local{};
  localtime_r(&now.tv_sec, &local);
  SystemTime t;
  t.year = static_cast<std::uint16_t>(local.tm_year + 1900);
  t.month = static_cast<std::uint16_t>(local.tm_mon + 1);
  t.dayOfWeek = static_cast<std::uint16_t>(local.tm_wday);
  t.day = static_cast<std::uint16_t>(local.tm_mday);
  t.hour = static_cast<std::uint16_t>(local.tm_hour);
  t.minute = static_cast<std::uint16_t>(local.tm_min);
  // A leap second reads as second 59, as Windows never shows second 60.
  t.second = static_cast<std::uint16_t>(local.tm_sec > 59 ? 59 : local.tm_sec);
  t.milliseconds = static_cast<std::uint16_t>(now.tv_nsec / 1000000);
  return t;
}

void PosixPlatform::Sleep(std::uint32_t milliseconds) {
  timespec wait{static_cast<time_t>(milliseconds / 1000),
                static_cast<long>(milliseconds % 1000) * 1000000L};
  while (nanosleep(&wait, &wait) != 0 && errno == EINTR) {
  }
}

std::int32_t PosixPlatform::UtcOffsetMinutesAt(std::int64_t utcSeconds) {
  auto at = static_cast<time_t>(utcSeconds);
  tm parts{};
  // Outside what the C library can convert, the offset in force now is the best guess.
  if (localtime_r(&at, &parts) == nullptr) {
    at = time(nullptr);
    if (localtime_r(&at, &parts) == nullptr)
      return 0;
  }
  return static_cast<std::int32_t>(parts.tm_gmtoff / 60);
}

FoundFile PosixPlatform::FindFile(const AnsiString& path) {
  FoundFile result;
  struct stat entry {};
  if (path.empty() || stat(path.c_str(), &entry) != 0)
    return result;
  result.found = true;
  result.directory = S_ISDIR(entry.st_mode);
  result.lastWrite = FileTimeFromUnix(entry.st_mtim.tv_sec, entry.st_mtim.tv_nsec);
  result.size = result.directory ? 0 : static_cast<std::uint64_t>(entry.st_size);
  return result;
}

namespace {

// The descriptor open(2) gave, unless it is a folder: CreateFileA refuses a directory, open(2)
// would hand one out for reading.
FileHandle NoFolder(int fd) {
  if (fd < 0)
    return kInvalidFile;
  struct stat entry {};
  if (fstat(fd, &entry) != 0 || S_ISDIR(entry.st_mode)) {
    close(fd);
    return kInvalidFile;
  }
  return fd;
}

}  // namespace

FileHandle PosixPlatform::OpenToRead(const AnsiString& path, std::uint32_t) {
  // O_NONBLOCK: opening a named pipe for reading would otherwise wait for a writer forever.
  return NoFolder(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
}

bool PosixPlatform::Read(FileHandle file, void* buffer, std::uint32_t count,
                         std::uint32_t& bytesRead) {
  bytesRead = 0;
  auto* bytes = static_cast<char*>(buffer);
  while (bytesRead < count) {
    const ssize_t got = read(static_cast<int>(file), bytes + bytesRead, count - bytesRead);
    if (got < 0 && errno == EINTR)
      continue;
    if (got < 0)
      return false;
    if (got == 0)
      break;  // end of file: ReadFile reports success with fewer bytes
    bytesRead += static_cast<std::uint32_t>(got);
  }
  return true;
}

std::int64_t PosixPlatform::Seek(FileHandle file, std::int64_t distance, SeekOrigin origin) {
  const int whence = origin == kSeekEnd ? SEEK_END : origin == kSeekCurrent ? SEEK_CUR : SEEK_SET;
  const off_t position = lseek(static_cast<int>(file), static_cast<off_t>(distance), whence);
  return position < 0 ? -1 : static_cast<std::int64_t>(position);
}

FileKind PosixPlatform::KindOf(FileHandle file) {
  struct stat entry {};
  if (fstat(static_cast<int>(file), &entry) != 0)
    return FileKind::kOther;
  if (S_ISREG(entry.st_mode))
    return FileKind::kFile;
  if (S_ISFIFO(entry.st_mode) || S_ISSOCK(entry.st_mode))
    return FileKind::kPipe;
  if (S_ISCHR(entry.st_mode) || S_ISBLK(entry.st_mode))
    return FileKind::kDevice;
  return FileKind::kOther;
}

bool PosixPlatform::SizeOf(FileHandle file, std::uint64_t& size) {
  struct stat entry {};
  if (fstat(static_cast<int>(file), &entry) != 0)
    return false;
  size = static_cast<std::uint64_t>(entry.st_size);
  return true;
}

void PosixPlatform::Close(FileHandle file) {
  close(static_cast<int>(file));
}

FileHandle PosixPlatform::OpenUnfollowed(const AnsiString& path, std::uint32_t, bool& link) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW);
  link = fd < 0 && errno == ELOOP;
  return NoFolder(fd);
}

std::optional<AnsiString> PosixPlatform::LinkTarget(const AnsiString& path) {
  struct stat entry {};
  if (path.empty() || lstat(path.c_str(), &entry) != 0 || !S_ISLNK(entry.st_mode))
    return std::nullopt;
  std::string target(4096, '\0');
  const ssize_t length = readlink(path.c_str(), target.data(), target.size());
  target.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
  return target;
}

WriteAccess::Answer PosixPlatform::MayWrite(const AnsiString& path) {
  struct stat entry {};
  if (path.empty() || stat(path.c_str(), &entry) != 0 || access(path.c_str(), W_OK) == 0)
    return Answer::kYes;
  if (errno == EROFS)
    return Answer::kDenied;
  if (errno != EACCES)
    return Answer::kYes;
  return !S_ISDIR(entry.st_mode) && (entry.st_mode & 0222) == 0 ? Answer::kReadOnly
                                                                : Answer::kDenied;
}

std::uint32_t PosixPlatform::ModuleFileName(char* buffer, std::uint32_t size) {
  if (size == 0)
    return 0;
  std::string path(256, '\0');
  for (;;) {
    const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
    if (length < 0) {
      buffer[0] = '\0';
      return 0;
    }
    if (static_cast<std::size_t>(length) < path.size()) {
      path.resize(static_cast<std::size_t>(length));
      break;
    }
    path.resize(path.size() * 2);
  }
  return CopyModuleFileName(path, buffer, size);
}

}  // namespace pendulon
