#pragma once
// The reading host on POSIX: the clock, the files to read and the process's own path, so that
// qefcheck runs natively on Linux. It writes nothing and has no window system: no tool built on
// it changes a file, shows or launches anything.

#include "platform/CheckingHost.h"
#include "platform/ReadingHost.h"

namespace pendulon {

class PosixPlatform final : public CheckingHost {
 public:
  SystemTime LocalTime() override;
  void Sleep(std::uint32_t milliseconds) override;
  std::int32_t UtcOffsetMinutesAt(std::int64_t utcSeconds) override;

  // Paths are taken as given; "/" separates. Share modes are not enforced: POSIX has no
  // mandatory locks, so every open shares everything. Opening never waits: a named pipe with no
  // writer opens at once, and KindOf tells it from a file. A folder does not open, as on Windows.
  FoundFile FindFile(const AnsiString& path) override;
  FileHandle OpenToRead(const AnsiString& path, std::uint32_t share) override;
  bool Read(FileHandle file, void* buffer, std::uint32_t count, std::uint32_t& bytesRead) override;
  std::int64_t Seek(FileHandle file, std::int64_t distance, SeekOrigin origin) override;
  FileKind KindOf(FileHandle file) override;                   // fstat
  bool SizeOf(FileHandle file, std::uint64_t& size) override;  // fstat
  void Close(FileHandle file) override;
  // lstat, then readlink.
  std::optional<AnsiString> LinkTarget(const AnsiString& path) override;
  FileHandle OpenUnfollowed(const AnsiString& path, std::uint32_t share, bool& link) override;
  // access(2) for W_OK; a file with no write bit at all counts as read-only.
  Answer MayWrite(const AnsiString& path) override;

  std::uint32_t ModuleFileName(char* buffer, std::uint32_t size) override;
  // Bytes are taken as a single-byte code page: no byte leads a two-byte character.
  bool IsLeadByte(unsigned char) override { return false; }
};

}  // namespace pendulon
