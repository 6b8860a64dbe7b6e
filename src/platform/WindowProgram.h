#pragma once
// The program whose process owns a top-level window: how a tool tells which copy of the executer
// it found running, and so which folder that copy serves.

#include <optional>

#include "platform/AnsiString.h"

namespace pendulon {

class WindowProgram {
 public:
  virtual ~WindowProgram() = default;

  // The full path of the program whose window has exactly this class and caption
  // (GetWindowThreadProcessId, QueryFullProcessImageNameA); none without such a window, empty
  // when its process may not be asked.
  virtual std::optional<AnsiString> ProgramOfWindow(const AnsiString& className,
                                                    const AnsiString& caption) = 0;
};

}  // namespace pendulon
