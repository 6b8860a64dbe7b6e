#pragma once
// The window system: the program's hidden windows, its boxes, the timers that tick on its
// windows, the message loop, and the lock that lets only one copy take its caption.
// Method names avoid the Win32 macro names (CreateWindow, MessageBox, ...) on purpose.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/AnsiString.h"
#include "platform/Shell.h"  // WindowHandle
#include "platform/WindowLookup.h"

namespace pendulon {

constexpr std::uint32_t kMbIconError = 0x10;  // with MB_OK (0): one OK button

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
  // The session ends: log-off or shut-down (WM_ENDSESSION with TRUE). Only the window that
  // ends the message loop needs to hear of it.
  virtual void SessionEnding() {}

 protected:
  ~WindowClient() = default;
};

// Held while a copy checks for a running copy and publishes its own caption.
class ScopedLock {
 public:
  virtual ~ScopedLock() = default;
};

enum class Pumped { kNothing, kQuit, kDispatched };

class WindowSystem : public WindowLookup {
 public:
  // Windows. All top-level, created hidden.
  virtual WindowHandle NewWindow(const AnsiString& className, const AnsiString& caption,
                                 const WindowPlacement& placement, WindowClient* client) = 0;
  virtual void DestroyWindow(WindowHandle window) = 0;
  virtual void SetCaption(WindowHandle window, const AnsiString& caption) = 0;
  virtual AnsiString Caption(WindowHandle window) = 0;  // at most 255 bytes
  virtual void SetVisible(WindowHandle window, bool visible) = 0;

  // Boxes. MessageBoxA: modal, returns when the user has closed it; ticks are delivered
  // meanwhile.
  virtual void ShowMessageBox(WindowHandle owner, const AnsiString& text, const AnsiString& caption,
                              std::uint32_t style) = 0;
  // The visible and enabled top-level windows of the calling thread (EnumThreadWindows): the
  // program's own boxes, and any the shell shows during a launch.
  virtual std::vector<WindowHandle> InputWindows() = 0;
  virtual void EnableInput(WindowHandle window, bool enable) = 0;  // EnableWindow
  virtual WindowHandle ActiveWindow() = 0;                         // GetActiveWindow
  virtual void Activate(WindowHandle window) = 0;                  // SetActiveWindow

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
