#pragma once
// The one seam between the program and the operating system. Everything the program asks of
// Windows goes through a Platform passed in by the entry: the real one calls the Win32 API,
// the simulated one (tests only) answers from a virtual clock, files and window list.
// Method names avoid the Win32 macro names (CreateWindow, MessageBox, ...) on purpose.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/AnsiString.h"

namespace pendulon {

using WindowHandle = std::uintptr_t;  // 0 stands for no window
using FileHandle = std::intptr_t;
constexpr FileHandle kInvalidFile = -1;

// 100-nanosecond intervals since 1601-01-01, as Win32 FILETIME.
using FileTime = std::uint64_t;

// The local date and time as GetLocalTime gives it.
struct SystemTime {
  std::uint16_t year = 0, month = 0, dayOfWeek = 0, day = 0;
  std::uint16_t hour = 0, minute = 0, second = 0, milliseconds = 0;
};

struct FoundFile {
  bool found = false;
  bool directory = false;
  FileTime lastWrite = 0;  // UTC
  std::uint64_t size = 0;  // bytes
};

// Values as Win32 defines them, so the real platform passes them through unchanged.
enum FileAccess : std::uint32_t { kGenericRead = 0x80000000u, kGenericWrite = 0x40000000u };
enum FileShare : std::uint32_t { kShareNone = 0, kShareRead = 1, kShareWrite = 2 };
enum FileDisposition : std::uint32_t { kCreateNew = 1, kCreateAlways = 2, kOpenExisting = 3 };
enum SeekOrigin : std::uint32_t { kSeekBegin = 0, kSeekCurrent = 1, kSeekEnd = 2 };

constexpr std::uint32_t kMbIconError = 0x10;  // with MB_OK (0): one OK button
constexpr int kSwRestore = 9;

struct WindowPlacement {
  int left = 0, top = 0, width = 0, height = 0;
};

// Receives the ticks of one timer. The platform never lets an exception out of a tick.
class TimerSink {
 public:
  virtual void TimerTick() = 0;

 protected:
  ~TimerSink() = default;
};

// Receives what the window system tells a window of the program.
class WindowClient {
 public:
  // A close request (WM_CLOSE), from outside the process or from the window system.
  virtual void CloseRequested() = 0;
  // The session ends: log-off or shut-down (WM_ENDSESSION with TRUE).
  virtual void SessionEnding() = 0;

 protected:
  ~WindowClient() = default;
};

// Held while a copy checks for a running copy and publishes its own caption.
class ScopedLock {
 public:
  virtual ~ScopedLock() = default;
};

enum class Pumped { kNothing, kQuit, kDispatched };

class Platform {
 public:
  virtual ~Platform() = default;

  // Clock.
  virtual SystemTime LocalTime() = 0;                  // GetLocalTime
  virtual void Sleep(std::uint32_t milliseconds) = 0;  // handles no messages

  // Files.
  virtual FoundFile FindFile(const AnsiString& path) = 0;  // FindFirstFileA, then FindClose
  virtual bool ToLocalFileTime(FileTime utc, FileTime& local) = 0;  // FileTimeToLocalFileTime
  virtual bool ToDosDateTime(FileTime time, std::uint16_t& date,
                             std::uint16_t& timeOfDay) = 0;  // FileTimeToDosDateTime
  // CreateFileA with FILE_ATTRIBUTE_NORMAL; kInvalidFile on failure.
  virtual FileHandle OpenFile(const AnsiString& path, std::uint32_t access, std::uint32_t share,
                              std::uint32_t disposition) = 0;
  virtual bool Read(FileHandle file, void* buffer, std::uint32_t count,
                    std::uint32_t& bytesRead) = 0;  // ReadFile
  // SetFilePointer; the new position, or -1 on failure.
  virtual std::int64_t Seek(FileHandle file, std::int64_t distance, SeekOrigin origin) = 0;
  virtual void Close(FileHandle file) = 0;  // CloseHandle

  // Process.
  // GetModuleFileNameA(NULL, ...): the length copied; equal to size when the path was cut.
  virtual std::uint32_t ModuleFileName(char* buffer, std::uint32_t size) = 0;
  virtual AnsiString CommandLine() = 0;             // GetCommandLineA
  virtual bool IsLeadByte(unsigned char byte) = 0;  // IsDBCSLeadByte of the ANSI code page

  // Windows. All top-level, created hidden.
  virtual WindowHandle NewWindow(const AnsiString& className, const AnsiString& caption,
                                 const WindowPlacement& placement, WindowClient* client) = 0;
  virtual void DestroyWindow(WindowHandle window) = 0;
  virtual void SetCaption(WindowHandle window, const AnsiString& caption) = 0;
  virtual AnsiString Caption(WindowHandle window) = 0;  // at most 255 bytes
  virtual void SetVisible(WindowHandle window, bool visible) = 0;
  // FindWindowA: a top-level window, hidden or not, with exactly this class and caption.
  virtual bool WindowExists(const AnsiString& className, const AnsiString& caption) = 0;
  // MessageBoxA: modal, returns when the user has closed it; ticks are delivered meanwhile.
  virtual void ShowMessageBox(WindowHandle owner, const AnsiString& text, const AnsiString& caption,
                              std::uint32_t style) = 0;
  // The visible and enabled top-level windows of the calling thread (EnumThreadWindows): the
  // program's own boxes, and any the shell shows during a launch.
  virtual std::vector<WindowHandle> InputWindows() = 0;
  virtual void EnableInput(WindowHandle window, bool enable) = 0;  // EnableWindow
  virtual WindowHandle ActiveWindow() = 0;                         // GetActiveWindow
  virtual void Activate(WindowHandle window) = 0;                  // SetActiveWindow
  // ShellExecuteA; empty texts go as empty strings. The outcome is not reported.
  virtual void ShellOpen(WindowHandle owner, const AnsiString& verb, const AnsiString& file,
                         const AnsiString& parameters, const AnsiString& directory,
                         int showCommand) = 0;

  // Timers and the message queue.
  // SetTimer on the owner window. Starting a running sink replaces it in place with a full
  // interval; when that is refused, the running timer is left as it was.
  virtual bool StartTimer(WindowHandle owner, TimerSink* sink, std::uint32_t interval) = 0;
  virtual void StopTimer(WindowHandle owner, TimerSink* sink) = 0;  // KillTimer
  // PeekMessageA with PM_REMOVE; any message but the quit message is translated and dispatched.
  virtual Pumped PumpMessage() = 0;
  virtual void WaitForMessage() = 0;  // WaitMessage
  virtual void PostQuit() = 0;        // PostQuitMessage(0)

  // Serialises the single-copy check across processes (a named mutex on Windows).
  virtual std::unique_ptr<ScopedLock> LockSingleCopy() = 0;
};

}  // namespace pendulon
