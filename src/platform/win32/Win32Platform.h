#pragma once
// The real platform: each method is a direct call of the Win32 API it is named after.
// This header stays free of <windows.h>; only the .cpp includes it.

#include <memory>

#include "platform/CheckingHost.h"
#include "platform/Platform.h"
#include "platform/WindowProgram.h"

namespace pendulon {

class Win32Platform final : public Platform, public CheckingHost, public WindowProgram {
 public:
  Win32Platform();
  ~Win32Platform() override;
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;

  SystemTime LocalTime() override;
  void Sleep(std::uint32_t milliseconds) override;
  std::uint64_t Milliseconds() override;
  std::uint64_t AwakeMilliseconds() override;
  std::int32_t UtcOffsetMinutes() override;
  std::int32_t UtcOffsetMinutesAt(std::int64_t utcSeconds) override;

  FoundFile FindFile(const AnsiString& path) override;
  bool ToLocalFileTime(FileTime utc, FileTime& local) override;
  FileHandle OpenToRead(const AnsiString& path, std::uint32_t share) override;
  FileHandle OpenFile(const AnsiString& path, std::uint32_t access, std::uint32_t share,
                      std::uint32_t disposition) override;
  bool Read(FileHandle file, void* buffer, std::uint32_t count, std::uint32_t& bytesRead) override;
  bool Write(FileHandle file, const void* buffer, std::uint32_t count,
             std::uint32_t& bytesWritten) override;
  std::int64_t Seek(FileHandle file, std::int64_t distance, SeekOrigin origin) override;
  FileKind KindOf(FileHandle file) override;
  bool SizeOf(FileHandle file, std::uint64_t& size) override;
  void Close(FileHandle file) override;
  bool RenameOpenFile(FileHandle file, const AnsiString& to) override;
  // FindFirstFileA for the reparse tag, then FSCTL_GET_REPARSE_POINT on the link itself.
  std::optional<AnsiString> LinkTarget(const AnsiString& path) override;
  FileHandle OpenUnfollowed(const AnsiString& path, std::uint32_t share, bool& link) override;
  // GetFileAttributesA, then CreateFileA for the access a write needs, closed at once.
  Answer MayWrite(const AnsiString& path) override;

  std::uint32_t ModuleFileName(char* buffer, std::uint32_t size) override;
  AnsiString CommandLine() override;
  bool IsLeadByte(unsigned char byte) override;
  std::uint32_t ProcessId() override;

  WindowHandle NewWindow(const AnsiString& className, const AnsiString& caption,
                         const WindowPlacement& placement, WindowClient* client) override;
  void DestroyWindow(WindowHandle window) override;
  void SetCaption(WindowHandle window, const AnsiString& caption) override;
  AnsiString Caption(WindowHandle window) override;
  void SetVisible(WindowHandle window, bool visible) override;
  bool WindowExists(const AnsiString& className, const AnsiString& caption) override;
  std::optional<AnsiString> ProgramOfWindow(const AnsiString& className,
                                            const AnsiString& caption) override;
  void ShowMessageBox(WindowHandle owner, const AnsiString& text, const AnsiString& caption,
                      std::uint32_t style) override;
  std::vector<WindowHandle> InputWindows() override;
  void EnableInput(WindowHandle window, bool enable) override;
  WindowHandle ActiveWindow() override;
  void Activate(WindowHandle window) override;
  std::intptr_t ShellOpen(WindowHandle owner, const AnsiString& verb, const AnsiString& file,
                          const AnsiString& parameters, const AnsiString& directory,
                          int showCommand) override;

  bool StartTimer(WindowHandle owner, TimerSink* sink, std::uint32_t interval) override;
  void StopTimer(WindowHandle owner, TimerSink* sink) override;
  Pumped PumpMessage() override;
  void WaitForMessage() override;
  void PostQuit() override;

  std::unique_ptr<ScopedLock> LockSingleCopy() override;

  struct State;

 private:
  std::unique_ptr<State> state_;
};

}  // namespace pendulon
