#pragma once
// The files as a reader reaches them: find one and read its write time, and open an existing
// file to read, read, seek, measure and close it. Nothing here can change a file, so a tool
// handed only this cannot write. Values are Win32's own, so the real platform passes them
// through unchanged.

#include <cstdint>

#include "platform/AnsiString.h"

namespace pendulon {

using FileHandle = std::intptr_t;
constexpr FileHandle kInvalidFile = -1;

// 100-nanosecond intervals since 1601-01-01, as Win32 FILETIME.
using FileTime = std::uint64_t;

struct FoundFile {
  bool found = false;
  bool directory = false;
  FileTime lastWrite = 0;  // UTC
  std::uint64_t size = 0;  // bytes
};

enum FileAccess : std::uint32_t {
  kGenericRead = 0x80000000u,
  kGenericWrite = 0x40000000u,
  kAppendData = 0x4u,  // FILE_APPEND_DATA: every write lands at the end, whoever else writes
  kDelete = 0x10000u,  // DELETE: the file may be renamed through the handle
};
enum FileShare : std::uint32_t {
  kShareNone = 0,
  kShareRead = 1,
  kShareWrite = 2,
  kShareDelete = 4,  // others may rename or delete the file while it is open
};
enum FileDisposition : std::uint32_t {
  kCreateNew = 1,
  kCreateAlways = 2,
  kOpenExisting = 3,
  kOpenAlways = 4,
};
enum SeekOrigin : std::uint32_t { kSeekBegin = 0, kSeekCurrent = 1, kSeekEnd = 2 };

// What an open handle reaches: a file on a disk, or something whose reading may never end.
enum class FileKind { kFile, kPipe, kDevice, kOther };

// Every file the program reads or stamps is reached through one of these.
class FileReader {
 public:
  virtual ~FileReader() = default;

  virtual FoundFile FindFile(const AnsiString& path) = 0;  // FindFirstFileA, then FindClose
  // CreateFileA for GENERIC_READ, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, letting others do what
  // share allows meanwhile; kInvalidFile on failure.
  virtual FileHandle OpenToRead(const AnsiString& path, std::uint32_t share) = 0;
  virtual bool Read(FileHandle file, void* buffer, std::uint32_t count,
                    std::uint32_t& bytesRead) = 0;  // ReadFile
  // SetFilePointer; the new position, or -1 on failure.
  virtual std::int64_t Seek(FileHandle file, std::int64_t distance, SeekOrigin origin) = 0;
  virtual FileKind KindOf(FileHandle file) = 0;                   // GetFileType
  virtual bool SizeOf(FileHandle file, std::uint64_t& size) = 0;  // GetFileSizeEx
  virtual void Close(FileHandle file) = 0;                        // CloseHandle
};

}  // namespace pendulon
