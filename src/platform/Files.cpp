#include "platform/Files.h"

#include <cstring>
#include <limits>
#include <memory>

#include "platform/Exceptions.h"

namespace pendulon {
namespace {

// Closes a platform file handle on every path out of a scope.
class FileCloser {
 public:
  FileCloser(Platform& platform, FileHandle file) : platform_(platform), file_(file) {}
  ~FileCloser() {
    if (file_ != kInvalidFile)
      platform_.Close(file_);
  }
  FileCloser(const FileCloser&) = delete;
  FileCloser& operator=(const FileCloser&) = delete;

 private:
  Platform& platform_;
  FileHandle file_;
};

// Reads the whole file; false when the size cannot be learnt or fewer bytes arrive.
bool ReadWhole(Platform& platform, FileHandle file, std::unique_ptr<char[]>& bytes,
               std::size_t& size) {
  const std::int64_t length = platform.Seek(file, 0, kSeekEnd);
  if (length < 0 || length > std::numeric_limits<std::uint32_t>::max() ||
      platform.Seek(file, 0, kSeekBegin) != 0) {
    return false;
  }
  size = static_cast<std::size_t>(length);
  bytes.reset(new char[size + 1]);
  std::uint32_t got = 0;
  if (size > 0 &&
      (!platform.Read(file, bytes.get(), static_cast<std::uint32_t>(size), got) || got != size)) {
    return false;
  }
  return true;
}

}  // namespace

std::int32_t FileStamp(Platform& platform, const AnsiString& path) {
  const FoundFile entry = platform.FindFile(path);
  if (!entry.found || entry.directory) {
    return -1;
  }
  FileTime local = 0;
  std::uint16_t date = 0, time = 0;
  if (!platform.ToLocalFileTime(entry.lastWrite, local) ||
      !platform.ToDosDateTime(local, date, time)) {
    return -1;
  }
  return static_cast<std::int32_t>((static_cast<std::uint32_t>(date) << 16) | time);
}

bool FilePresent(Platform& platform, const AnsiString& path) {
  return FileStamp(platform, path) != -1;
}

void CreateEmptyFile(Platform& platform, const AnsiString& path) {
  // CREATE_NEW, not CREATE_ALWAYS: a file whose date cannot be stamped still reads as absent,
  // and cutting it to zero bytes would lose the user's launch items.
  const FileHandle file =
      platform.OpenFile(path, kGenericRead | kGenericWrite, kShareNone, kCreateNew);
  FileCloser closer(platform, file);
}

void LoadLines(Platform& platform, TStringList& list, const AnsiString& path) {
  const FileHandle file = platform.OpenFile(path, kGenericRead, kShareRead, kOpenExisting);
  if (file == kInvalidFile) {
    throw EFOpenError(path);
  }
  FileCloser closer(platform, file);
  std::unique_ptr<char[]> bytes;
  std::size_t size = 0;
  if (!ReadWhole(platform, file, bytes, size)) {
    // A failed read must not replace good lines with a partial file.
    throw EFOpenError(path);
  }
  TStringList lines;
  AppendLines(std::string_view(bytes.get(), size), lines);
  list.Swap(lines);
}

void AppendLines(std::string_view text, TStringList& list) {
  const char* p = text.data();
  const char* end = p + text.size();
  if (const void* nul = std::memchr(p, '\0', text.size())) {
    end = static_cast<const char*>(nul);
  }
  while (p < end) {
    const char* lineEnd = p;
    while (lineEnd < end && *lineEnd != '\r' && *lineEnd != '\n') {
      ++lineEnd;
    }
    list.Add(AnsiString(p, lineEnd));
    p = lineEnd;
    if (p < end && *p == '\r')
      ++p;
    if (p < end && *p == '\n')
      ++p;
  }
}

}  // namespace pendulon
