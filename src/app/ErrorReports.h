#pragma once
// The one way errors reach the user: a modal box with the message under the application title.

#include <set>

#include "platform/AnsiString.h"
#include "platform/WindowSystem.h"

namespace pendulon {

class RunLogWriter;

// The message as the box shows it: "." appended when its last byte's code is above that of ".".
AnsiString ReportText(const AnsiString& message);

class ErrorReports {
 public:
  explicit ErrorReports(WindowSystem& windows) : windows_(windows) {}

  // Shows the error box and returns once the user has closed it. A report whose text equals that
  // of a box still open is not shown again: a line failing every minute while nobody answers
  // would otherwise nest one more modal loop each minute until the stack runs out. line: the
  // task line whose walk raised it, for the run log; 0 for none.
  void ReportError(WindowHandle owner, const AnsiString& title, const AnsiString& message,
                   int line = 0);

  int OpenCount() const { return static_cast<int>(open_.size()); }

  // Boxes from now on are told to the run log, as they open and close; null tells nobody.
  void SetRunLog(RunLogWriter* log) { log_ = log; }

 private:
  WindowSystem& windows_;
  RunLogWriter* log_ = nullptr;
  std::multiset<AnsiString> open_;
};

}  // namespace pendulon
