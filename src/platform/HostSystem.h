#pragma once
// The system short of its windows: files, clock, time zone and the process. It is all that a tool
// which only reads needs (qefcheck on Linux, its dry run), and the part of every Platform it
// shares.

#include "platform/FileSystem.h"
#include "platform/ProcessInfo.h"
#include "platform/SystemClock.h"
#include "platform/TimeZone.h"

namespace pendulon {

class HostSystem : public FileSystem, public SystemClock, public TimeZone, public ProcessInfo {};

}  // namespace pendulon
