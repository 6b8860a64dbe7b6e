#pragma once
// A platform for POSIX systems that serves the clock, the files and the process's own path, so
// that tools reading the program's files (qefcheck) run natively on Linux. Windows, timers,
// boxes and the shell are inert here: no tool built on it shows or launches anything.

#include "platform/Platform.h"

namespace pendulon {

class PosixPlatform final : public Platform {
 public:
  SystemTime LocalTime() override;
  void Sleep(std::uint32_t milliseconds) override;

  // Paths are taken as given; "/" separates. Share modes are not enforced: POSIX has no
  // mandatory locks, so every open shares everything.
  FoundFile FindFile(const AnsiString& path) override;
  bool ToLocalFileTime(FileTime utc, FileTime& local) override;
  bool ToDosDateTime(FileTime time, std::uint16_t& date, std::uint16_t& timeOfDay) override;
  FileHandle OpenFile(const AnsiString& path, std::uint32_t access, std::uint32_t share,
                      std::uint32_t disposition) override;
  bool Read(FileHandle file, void* buffer, std::uint32_t count, std::uint32_t& bytesRead) override;
  std::int64_t Seek(FileHandle file, std::int64_t distance, SeekOrigin origin) override;
  void Close(FileHandle file) override;

  std::uint32_t ModuleFileName(char* buffer, std::uint32_t size) override;
  AnsiString CommandLine() override;
  // Bytes are taken as a single-byte code page: no byte leads a two-byte character.
  bool IsLeadByte(unsigned char) override { return false; }

  // Inert: no windows, boxes, launches, timers or messages on this platform.
  WindowHandle NewWindow(const AnsiString&, const AnsiString&, const WindowPlacement&,
                         WindowClient*) override {
    return 0;
  }
  void DestroyWindow(WindowHandle) override {}
  void SetCaption(WindowHandle, const AnsiString&) override {}
  AnsiString Caption(WindowHandle) override { return AnsiString(); }
  void SetVisible(WindowHandle, bool) override {}
  bool WindowExists(const AnsiString&, const AnsiString&) override { return false; }
  void ShowMessageBox(WindowHandle, const AnsiString&, const AnsiString&, std::uint32_t) override {}
  std::vector<WindowHandle> InputWindows() override { return {}; }
  void EnableInput(WindowHandle, bool) override {}
  WindowHandle ActiveWindow() override { return 0; }
  void Activate(WindowHandle) override {}
  void ShellOpen(WindowHandle, const AnsiString&, const AnsiString&, const AnsiString&,
                 const AnsiString&, int) override {}
  bool StartTimer(WindowHandle, TimerSink*, std::uint32_t) override { return false; }
  void StopTimer(WindowHandle, TimerSink*) override {}
  // A quit at once, so that a message loop run on this platform ends instead of spinning.
  Pumped PumpMessage() override { return Pumped::kQuit; }
  void WaitForMessage() override {}
  void PostQuit() override {}
  std::unique_ptr<ScopedLock> LockSingleCopy() override { return nullptr; }
};

// FILETIME for seconds and nanoseconds since 1970 (UTC); 0 before 1601.
FileTime FileTimeFromUnix(std::int64_t seconds, std::int64_t nanoseconds);

}  // namespace pendulon
