#pragma once
// A seeded month on the simulated machine: task files with duplicate and raising lines, replaced
// at random moments or edited a line at a time while a walk may wait in a box; launch files whose
// sections change; shell boxes from none to hours long, a few never answered, and a removable
// drive that goes away for a while; stalls of up to 3 minutes; clock steps of half a second to
// ten hours either way; both daylight-saving changes, new time zones and a zone whose rules
// change; a machine that sleeps for minutes to hours; timers refused for a while; the task and
// launch files locked for a while; a run log whose disk fills, which another program holds, or
// which cannot roll over; and the family leaving at any second, now and then while launches wait.
// One seed decides it all, so a month replays exactly.

#include <cstdint>
#include <string>
#include <vector>

#include "support/SimWorld.h"

namespace pendulon::sim {

inline constexpr const char* kMonthLog = "C:\\Tools\\lib\\pendulon.log";
inline constexpr const char* kMonthOldLog = "C:\\Tools\\lib\\pendulon.log.1";
// The states of the world that Install notes as they change (SimWorld::Note).
inline constexpr const char* kDiskFull = "disk full";
inline constexpr const char* kLogHeld = "run log held";
inline constexpr const char* kOldLogHeld = "pendulon.log.1 held";
inline constexpr const char* kLaunchLocked = "launch file locked";

struct Fault {
  enum Kind {
    kTasks,       // the task file is replaced by text
    kStep,        // the wall clock steps by length milliseconds, either way
    kNoTimers,    // every new timer is refused for length
    kLockTasks,   // the task file is held open for writing for length
    kLockLaunch,  // the launch file is held open for writing for length
    kDriveGone,   // drive D: is gone for length: its launches wait in a box until it is back
    kDiskFull,    // every write fails for length
    kLogHeld,     // another program holds the run log, sharing nothing, for length
    kNoRollOver,  // pendulon.log.1 is held open for length, so the log cannot roll over
    kEdit,        // the task file is saved with one line taken out or put in: text
    kLaunchFile,  // the launch file is replaced by text
    kZone,        // the user picks a zone length milliseconds further east (west below 0)
    kRule,        // the zone's next clock change moves by length milliseconds, or (0) goes
    kSleep,       // the machine sleeps for length
  };
  Kind kind = kTasks;
  std::int64_t at = 0;  // UTC milliseconds
  std::int64_t length = 0;
  std::string text;

  bool LogFault() const { return kind == kDiskFull || kind == kLogHeld || kind == kNoRollOver; }
  std::string Describe(const SimWorld& world) const;
};

struct MonthHistory {
  std::uint64_t seed = 0;
  std::int64_t start = 0;  // UTC: the program starts
  std::int64_t end = 0;    // UTC: the family's windows go
  std::int64_t summerFrom = 0, winterFrom = 0;
  std::string firstTasks, firstLaunch;
  std::vector<Fault> faults;
  // What each launch meets is decided from the seed and the launch alone, so that taking a fault
  // out of the history leaves the others as they were. These switch whole kinds off.
  bool shellBoxes = true, stalls = true;

  static MonthHistory Generate(std::uint64_t seed, int days);
  // Sets the machine up: the zone, the files, the family, the faults and what the shell does.
  void Install(SimWorld& world) const;
  // A digest of all it plays, equal for two histories exactly when they play the same month.
  std::uint64_t Digest() const;
};

}  // namespace pendulon::sim
