#pragma once
// The host system and its shell: all that opening an item needs (the launch file beside the
// executable, the clock that times the shell, and the shell). The executer's platform is one; so
// is qefcheck's dry run, which records what the shell is asked instead of asking it.

#include "platform/HostSystem.h"
#include "platform/Shell.h"

namespace pendulon {

class LaunchSystem : public HostSystem, public Shell {};

}  // namespace pendulon
