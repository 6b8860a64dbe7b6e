#pragma once
// The files, as the program asks Win32 for them: find one and read its write time, and open,
// read, write, seek, measure, close and rename. Values are Win32's own, so the real platform
// passes them through unchanged.

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

// Every file the program reads, stamps or creates is reached through one of these.
class FileSystem {
 public:
  virtual ~FileSystem() = default;

  virtual FoundFile FindFile(const AnsiString& path) = 0;  // FindFirstFileA, then FindClose
  virtual bool ToLocalFileTime(FileTime utc, FileTime& local) = 0;  // FileTimeToLocalFileTime
  // CreateFileA with FILE_ATTRIBUTE_NORMAL; kInvalidFile on failure.
  virtual FileHandle OpenFile(const AnsiString& path, std::uint32_t access, std::uint32_t share,
                              std::uint32_t disposition) = 0;
  virtual bool Read(FileHandle file, void* buffer, std::uint32_t count,
                    std::uint32_t& bytesRead) = 0;  // ReadFile
  virtual bool Write(FileHandle file, const void* buffer, std::uint32_t count,
                     std::uint32_t& bytesWritten) = 0;  // WriteFile
  // SetFilePointer; the new position, or -1 on failure.
  virtual std::int64_t Seek(FileHandle file, std::int64_t distance, SeekOrigin origin) = 0;
  virtual FileKind KindOf(FileHandle file) = 0;                   // GetFileType
  virtual bool SizeOf(FileHandle file, std::uint64_t& size) = 0;  // GetFileSizeEx
  virtual void Close(FileHandle file) = 0;                        // CloseHandle
  // SetFileInformationByHandle with FileRenameInfo: renames the very file the handle reaches,
  // whatever its name is by now, replacing an older file of the new name. The handle must have
  // been opened with kDelete; a file that is open elsewhere without kShareDelete is not renamed.
  virtual bool RenameOpenFile(FileHandle file, const AnsiString& to) = 0;
};

}  // namespace pendulon
