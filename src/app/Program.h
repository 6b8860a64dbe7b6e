#pragma once
// The body of the program's entry: start-up, the message loop, and the exit code.

#include "platform/Platform.h"

namespace pendulon {

// Runs the executer on the given platform until it stops; returns 0 on every path.
int RunProgram(Platform& platform) noexcept;

}  // namespace pendulon
