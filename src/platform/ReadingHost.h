#pragma once
// The system as a tool that only reads it sees it: files to read, the local clock and a wait,
// the time zone, and the process's own path and code page. Nothing reached through it can
// change a file, so qefcheck, handed only this, cannot write even by mistake.

#include <cstdint>

#include "platform/FileReader.h"
#include "platform/ProcessInfo.h"
#include "platform/TimeZone.h"
#include "platform/WaitingClock.h"

namespace pendulon {

class ReadingHost : public FileReader, public WaitingClock, public TimeZone, public ProcessInfo {};

}  // namespace pendulon
