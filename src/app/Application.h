#pragma once
// TApplication: the process's application object. It holds the title (the caption of its own
// hidden window, class "TApplication"), the main window, the show-main-window and stop flags,
// and runs the message loop until the quit message arrives.

#include <exception>

#include "app/ErrorReports.h"
#include "app/MainForm.h"
#include "platform/AnsiString.h"
#include "platform/WindowSystem.h"

namespace pendulon {

class TApplication final : private WindowClient {
 public:
  // Error boxes and the session's end are told to the run log.
  TApplication(WindowSystem& windows, RunLogWriter& log);
  ~TApplication();
  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;

  void SetTitle(const AnsiString& title);
  AnsiString Title();

  TMainWindow* MainForm() const { return mainForm_; }
  void SetMainForm(TMainWindow* form) { mainForm_ = form; }

  void SetShowMainForm(bool show) { showMainForm_ = show; }

  // Posts the quit message and returns at once; the step in progress runs to its end.
  void RequestStop();

  // The message loop: shows the main window first if the flag is still set, then handles
  // messages until the quit message is taken. Errors escaping a message are reported.
  void Run();

  // Reports an error caught at one of the shell's catching places; never throws. line: the task
  // line whose walk raised it, 0 for none.
  void HandleException(std::exception_ptr error, int line = 0) noexcept;

 private:
  bool ProcessMessage();
  void CloseRequested() override;
  void SessionEnding() override;

  WindowSystem& windows_;
  WindowHandle handle_ = 0;
  AnsiString title_;
  TMainWindow* mainForm_ = nullptr;
  bool showMainForm_ = true;
  bool terminated_ = false;
  ErrorReports reports_;
  RunLogWriter& log_;
};

}  // namespace pendulon
