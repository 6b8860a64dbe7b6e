#pragma once
// File stamps, presence, creation, the loading of a text file as lines, and an owner for an open
// file handle.

#include <cstdint>
#include <string_view>

#include "platform/AnsiString.h"
#include "platform/FileReader.h"
#include "platform/HostSystem.h"
#include "platform/StringList.h"

namespace pendulon {

// Closes a platform file handle on every path out of a scope.
class FileCloser {
 public:
  FileCloser(FileReader& files, FileHandle file) : files_(files), file_(file) {}
  ~FileCloser() {
    if (file_ != kInvalidFile)
      files_.Close(file_);
  }
  FileCloser(const FileCloser&) = delete;
  FileCloser& operator=(const FileCloser&) = delete;

 private:
  FileReader& files_;
  FileHandle file_;
};

// The last-write time in local time, packed as MS-DOS date (high word) and time (low word);
// -1 for a missing path, a directory, or a time outside 1980..2107. Only ever compared.
std::int32_t FileStamp(HostSystem& host, const AnsiString& path);

// What the task file's change watch compares: the full last-write time and the size, read with
// one lookup. Unlike FileStamp it sees a second write within the same two seconds, and it does
// not move when the time zone or daylight-saving time changes.
struct WriteMark {
  bool present = false;  // false for a missing path or a directory
  FileTime lastWrite = 0;
  std::uint64_t size = 0;

  friend bool operator==(const WriteMark& a, const WriteMark& b) {
    return a.present == b.present && a.lastWrite == b.lastWrite && a.size == b.size;
  }
  friend bool operator!=(const WriteMark& a, const WriteMark& b) { return !(a == b); }
};

WriteMark WriteMarkOf(FileReader& files, const AnsiString& path);

// True when FileStamp of the path is not -1.
bool FilePresent(HostSystem& host, const AnsiString& path);

// Creates an empty file where no file exists yet. An existing file is never cut to zero bytes,
// whatever its stamp says. Failures are not reported: the load that follows fails instead.
void CreateEmptyFile(HostSystem& files, const AnsiString& path);

// Replaces the list with the file's lines, read in one piece while others may only read it.
// Raises EFOpenError ("Cannot open file <path>") before touching the list when the file cannot
// be opened or read, or is not a plain file.
void LoadLines(FileReader& files, TStringList& list, const AnsiString& path);

// Appends the lines of a text to the list: the text ends at its first NUL; CR LF, a lone CR and
// a lone LF each end a line; a line end at the very end adds no empty line.
void AppendLines(std::string_view text, TStringList& list);

}  // namespace pendulon
