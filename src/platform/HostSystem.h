#pragma once
// The system short of its windows, as the executer uses it: all a reader has, and writing files,
// counts for durations and sleeps, the offset from UTC now and the process's id. The executer's run
// log and launch file are made through it.

#include <cstdint>

#include "platform/FileWriter.h"
#include "platform/ReadingHost.h"

namespace pendulon {

class HostSystem : public virtual ReadingHost, public FileWriter {
 public:
  // Milliseconds since some fixed moment, never set back (GetTickCount64): for durations.
  virtual std::uint64_t Milliseconds() = 0;
  // The same count without the time the machine was asleep or hibernating
  // (QueryUnbiasedInterruptTime): the difference tells a sleep from a program held.
  virtual std::uint64_t AwakeMilliseconds() = 0;
  // Local time minus UTC now, in minutes, daylight-saving time included (GetTimeZoneInformation).
  virtual std::int32_t UtcOffsetMinutes() = 0;
  virtual std::uint32_t ProcessId() = 0;  // GetCurrentProcessId
  // A file's UTC time shifted by the offset in force now (FileTimeToLocalFileTime): its stamp.
  virtual bool ToLocalFileTime(FileTime utc, FileTime& local) = 0;
};

}  // namespace pendulon
