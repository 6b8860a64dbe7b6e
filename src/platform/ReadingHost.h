#pragma once
// The system as a tool that only reads it sees it: files to read, the local clock and a wait,
// the time zone, and the process's own path and code page. Nothing reached through it can
// change a file, so qefcheck, handed only this, cannot write even by mistake.

#include <cstdint>

#include "platform/FileReader.h"
#include "platform/LocalClock.h"
#include "platform/ProcessInfo.h"
#include "platform/TimeZone.h"

namespace pendulon {

class ReadingHost : public FileReader, public LocalClock, public TimeZone, public ProcessInfo {
 public:
  virtual void Sleep(std::uint32_t milliseconds) = 0;  // handles no messages
};

}  // namespace pendulon
