#pragma once
// The platform the executer runs on: the host system (files, clock, process) and its window
// system, passed in by the entry. The real one calls the Win32 API, the simulated one (tests
// only) answers from a virtual clock, files and window list. Code that needs only part of it
// takes that part's interface instead.

#include "platform/HostSystem.h"
#include "platform/WindowSystem.h"

namespace pendulon {

class Platform : public HostSystem, public WindowSystem {};

}  // namespace pendulon
