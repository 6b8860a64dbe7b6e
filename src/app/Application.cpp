#include "app/Application.h"

#include "app/RunLogWriter.h"
#include "platform/Exceptions.h"

namespace pendulon {

TApplication::TApplication(WindowSystem& windows, RunLogWriter& log)
    : windows_(windows), reports_(windows), log_(log) {
  reports_.SetRunLog(&log);
  handle_ = windows_.NewWindow("TApplication", "", WindowPlacement{}, this);
}

TApplication::~TApplication() {
  if (handle_ != 0)
    windows_.DestroyWindow(handle_);
}

void TApplication::SetTitle(const AnsiString& title) {
  title_ = title;
  if (handle_ != 0)
    windows_.SetCaption(handle_, title);
}

AnsiString TApplication::Title() {
  return handle_ != 0 ? windows_.Caption(handle_) : title_;
}

void TApplication::RequestStop() {
  windows_.PostQuit();
}

void TApplication::Run() {
  if (showMainForm_ && mainForm_ != nullptr) {
    mainForm_->Show();
  }
  do {
    try {
      if (!ProcessMessage()) {
        windows_.WaitForMessage();
      }
    } catch (...) {
      HandleException(std::current_exception());
    }
  } while (!terminated_);
}

bool TApplication::ProcessMessage() {
  switch (windows_.PumpMessage()) {
    case Pumped::kNothing:
      return false;
    case Pumped::kQuit:
      terminated_ = true;
      return true;
    case Pumped::kDispatched:
      return true;
  }
  return false;
}

void TApplication::HandleException(std::exception_ptr error, int line) noexcept {
  try {
    reports_.ReportError(handle_, Title(), ErrorText(error), line);
  } catch (...) {
    // A box that cannot be shown is not reported again.
  }
}

void TApplication::CloseRequested() {
  // A close sent to the application's window closes the main window.
  try {
    if (mainForm_ != nullptr)
      mainForm_->Close();
  } catch (...) {
    HandleException(std::current_exception());
  }
}

void TApplication::SessionEnding() {
  terminated_ = true;
  // Windows may end the process as soon as this message has been handled.
  if (mainForm_ != nullptr)
    mainForm_->SessionEnding();
  log_.End(kEndSessionEnd);
}

}  // namespace pendulon
