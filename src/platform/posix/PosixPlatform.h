#pragma once
// The host system on POSIX: the clock, the files and the process's own path, so that tools
// reading the program's files (qefcheck) run natively on Linux. It has no window system: no tool
// built on it shows or launches anything.

#include "platform/HostSystem.h"
#include "platform/Links.h"
#include "platform/WriteAccess.h"

namespace pendulon {

class PosixPlatform final : public HostSystem, public Links, public WriteAccess {
 public:
  SystemTime LocalTime() override;
  void Sleep(std::uint32_t milliseconds) override;
  std::uint64_t Milliseconds() override;  // CLOCK_MONOTONIC
  std::int32_t UtcOffsetMinutes() override;
  std::int32_t UtcOffsetMinutesAt(std::int64_t utcSeconds) override;

  // Paths are taken as given; "/" separates. Share modes are not enforced: POSIX has no
  // mandatory locks, so every open shares everything. Opening never waits: a named pipe with no
  // writer opens at once, and KindOf tells it from a file.
  FoundFile FindFile(const AnsiString& path) override;
  bool ToLocalFileTime(FileTime utc, FileTime& local) override;
  FileHandle OpenFile(const AnsiString& path, std::uint32_t access, std::uint32_t share,
                      std::uint32_t disposition) override;
  bool Read(FileHandle file, void* buffer, std::uint32_t count, std::uint32_t& bytesRead) override;
  bool Write(FileHandle file, const void* buffer, std::uint32_t count,
             std::uint32_t& bytesWritten) override;
  std::int64_t Seek(FileHandle file, std::int64_t distance, SeekOrigin origin) override;
  FileKind KindOf(FileHandle file) override;                   // fstat
  bool SizeOf(FileHandle file, std::uint64_t& size) override;  // fstat
  void Close(FileHandle file) override;
  // POSIX renames only by name: the descriptor's name now (from /proc/self/fd) is renamed, with
  // rename(2), which replaces too, and only while that name still reaches the descriptor's file.
  bool RenameOpenFile(FileHandle file, const AnsiString& to) override;
  // lstat, then readlink.
  std::optional<AnsiString> LinkTarget(const AnsiString& path) override;
  // access(2) for W_OK; a file with no write bit at all counts as read-only.
  Answer MayWrite(const AnsiString& path) override;

  std::uint32_t ModuleFileName(char* buffer, std::uint32_t size) override;
  // Bytes are taken as a single-byte code page: no byte leads a two-byte character.
  bool IsLeadByte(unsigned char) override { return false; }
  std::uint32_t ProcessId() override;
};

}  // namespace pendulon
