#pragma once
// TMainWindow: what the application needs of its main window, the one window it shows or closes.

namespace pendulon {

class TMainWindow {
 public:
  virtual void Close() = 0;
  virtual void Show() = 0;
  // The session ends, and with it the process, without a close: the work in progress ends first.
  virtual void SessionEnding() = 0;

 protected:
  ~TMainWindow() = default;
};

}  // namespace pendulon
