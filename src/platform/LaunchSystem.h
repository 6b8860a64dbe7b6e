#pragma once
// The host system and its shell: all that opening an item needs (the launch file beside the
// executable, made when it is missing, the clock that times the shell, and the shell).

#include "platform/HostSystem.h"
#include "platform/Shell.h"

namespace pendulon {

class LaunchSystem : public HostSystem, public Shell {};

}  // namespace pendulon
