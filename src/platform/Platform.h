#pragma once
// The platform the executer runs on: the host system (files, clock, process) with its shell, its
// window system and the command line it was started with, passed in by the entry. The real one
// calls the Win32 API, the simulated one (tests only) answers from a virtual clock, files and
// window list. Code that needs only part of it takes that part's interface instead.

#include "platform/LaunchSystem.h"
#include "platform/WindowSystem.h"

namespace pendulon {

class Platform : public LaunchSystem, public WindowSystem {
 public:
  // Only the executer reads its command line: its start is refused without the family's argument.
  virtual AnsiString CommandLine() = 0;  // GetCommandLineA
};

}  // namespace pendulon
