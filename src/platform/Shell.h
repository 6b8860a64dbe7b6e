#pragma once
// The shell's "open this file", the one request a launch makes of the window system. It stands
// apart so that opening an item needs no windows, boxes or timers.

#include <cstdint>

#include "platform/AnsiString.h"

namespace pendulon {

using WindowHandle = std::uintptr_t;  // 0 stands for no window

constexpr int kSwRestore = 9;

class Shell {
 public:
  virtual ~Shell() = default;

  // ShellExecuteA; empty texts go as empty strings. Gives what it returned, as a number: above 32
  // for a launch the shell took on, otherwise the reason it gave up (SE_ERR_...).
  virtual std::intptr_t ShellOpen(WindowHandle owner, const AnsiString& verb,
                                  const AnsiString& file, const AnsiString& parameters,
                                  const AnsiString& directory, int showCommand) = 0;
};

}  // namespace pendulon
