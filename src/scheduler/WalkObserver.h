#pragma once
// What the minute walks did not do, and why, for a record kept by the caller. With the launches
// themselves, it accounts for every minute in which a task line was due.

#include <cstdint>

#include "platform/AnsiString.h"
#include "platform/SystemTime.h"

namespace pendulon {

class WalkObserver {
 public:
  // The walk of that minute passed over a due line: its launch of an earlier minute still waits
  // in the shell, or too many launches do.
  virtual void PassedOver(const SystemTime& minute, int line, const AnsiString& item,
                          const AnsiString& reason) = 0;
  // The launch of that line for that minute, begun at since, still waits in the shell as the
  // next minute's walk begins. Told once; the launch itself is told when it returns.
  virtual void StillWaiting(const SystemTime& minute, int line, const AnsiString& item,
                            const SystemTime& since) = 0;
  // The walk of that minute ended before it examined the task lines from that number on.
  virtual void NotExamined(const SystemTime& minute, int fromLine, const AnsiString& reason) = 0;
  // No walk served the local minutes from first to last.
  virtual void NotWalked(const SystemTime& first, const SystemTime& last,
                         const AnsiString& reason) = 0;
  // The walk of that minute began that many milliseconds into it, more than 2 s.
  virtual void WalkedLate(const SystemTime& minute, std::uint32_t milliseconds,
                          const AnsiString& reason) = 0;
  // The local clock went back from the minute last walked to that one, for that reason: the
  // minutes from there on are walked again, or, for a small correction of the clock, not walked
  // again until the clock has passed the minute last walked.
  virtual void ClockSetBack(const SystemTime& from, const SystemTime& to, bool walkedAgain,
                            const AnsiString& reason) = 0;

 protected:
  ~WalkObserver() = default;
};

}  // namespace pendulon
