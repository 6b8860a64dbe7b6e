#pragma once
// TfrmPendulon: the hidden main window. It owns the three timers (the minute walk, the change
// watch and the watchdog), the task table, and the launch of items.

#include "app/Application.h"
#include "app/RunLogWriter.h"
#include "launcher/LaunchFileMemory.h"
#include "platform/AnsiString.h"
#include "platform/Platform.h"
#include "platform/Timer.h"
#include "scheduler/TaskScheduler.h"

namespace pendulon {

// The identity a later copy looks for, and the watched windows of the family.
extern const char* const kMainCaption;       // "Quillmar v.2.5 Final Release"
extern const char* const kApplicationTitle;  // "Vostrelin Quillmar 2.5 Task Executer"
extern const char* const kRefusalText;

class TfrmPendulon final : public TMainWindow, private WindowClient {
 public:
  // Creates the window (empty caption) and its timers, the watchdog counting from here; looks
  // for a running copy and asks the application to stop if there is one; takes its caption;
  // then runs FormCreate, reporting an error that escapes it. Start-up, loads, launches and the
  // end are told to the run log.
  TfrmPendulon(TApplication& application, Platform& platform, RunLogWriter& log);
  ~TfrmPendulon();
  TfrmPendulon(const TfrmPendulon&) = delete;
  TfrmPendulon& operator=(const TfrmPendulon&) = delete;

  // The argument guard, then the scheduler's start-up.
  void FormCreate();
  // Frees the task table. The window's close always hides it, so no close action is handed in.
  void FormClose();
  // Every 4999 ms outside second 0: closes the main window once none of the family's windows
  // is left.
  void ExitTimerTimer();
  // Launches the item of the due task line of that number for the minute its walk serves, owned
  // by this window, and tells the run log what came of it.
  void RunItem(const AnsiString& itemName, int lineNumber, const SystemTime& minute);

  // Runs FormClose; stops the application when this is its main window, else only hides.
  void Close() override;
  void Show() override;
  void SessionEnding() override;

 private:
  // Owns the platform window; it goes last, after the timers that tick on it.
  struct Window {
    Window(WindowSystem& windows, WindowClient* client);
    ~Window();
    WindowSystem& windows;
    WindowHandle handle;
  };

  // Close, with the reason the run log gives for the end it brings.
  void CloseFor(const char* reason);
  void CloseRequested() override;

  TApplication& application_;
  Platform& platform_;
  RunLogWriter& log_;
  Window window_;
  WindowHandle handle_;
  TaskScheduler scheduler_;
  TTimer exitTimer_;
  LaunchFileMemory launchFile_;  // every due line reads it; read again only when it may change
};

}  // namespace pendulon
