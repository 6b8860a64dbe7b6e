#pragma once
// Whether a top-level window of a class and caption exists: all that a tool asking "is the
// executer running?" needs of the window system, and the part of it the watchdog uses.

#include "platform/AnsiString.h"

namespace pendulon {

class WindowLookup {
 public:
  virtual ~WindowLookup() = default;

  // FindWindowA: a top-level window, hidden or not, with exactly this class and caption.
  virtual bool WindowExists(const AnsiString& className, const AnsiString& caption) = 0;
};

}  // namespace pendulon
