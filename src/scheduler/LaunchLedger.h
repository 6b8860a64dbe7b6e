#pragma once
// The one record that keeps the minute walks' promise: each minute the local clock shows is
// walked once, a task line launches at most once for one minute, and at most 8 launches wait in
// the shell at once. A minute the clock shows again is walked again only when the clock went back
// further than a correction of the time service, or to an earlier offset from UTC (a new zone, or
// the end of summer time); otherwise the walks go on once the clock has passed it.

#include <cstdint>
#include <map>
#include <optional>
#include <utility>

#include "platform/AnsiString.h"
#include "platform/SystemTime.h"
#include "scheduler/ClockReading.h"

namespace pendulon {

class LaunchLedger {
 public:
  // Each waiting launch holds a shell box and its modal loop on the one thread's stack.
  static constexpr int kMostWaiting = 8;
  // A clock set back further than this was set by someone, not corrected: its minutes are walked
  // again, rather than none at all until the clock has caught up, maybe years later.
  static constexpr std::int64_t kMostCorrectionMs = 10 * 60 * 1000;
  // A wall clock that differs from the monotonic count by less than this was not set: the two
  // counts tick in steps of up to 16 ms.
  static constexpr std::int64_t kClockGrainMs = 100;

  // A task line by its number and item: a reload that puts another line there is another line.
  using LineKey = std::pair<int, AnsiString>;

  enum class Verdict {
    kWalk,       // a minute after the last one walked: walk it
    kNotAgain,   // the minute last walked or one before it: it is not walked again
    kWalkAgain,  // the clock went back further than a correction, or to an earlier offset: walk
                 // the minute, and the ones after it, again
  };
  // The verdict on the local minute a tick finds, the clock having moved so since the last walk.
  Verdict Judge(std::int64_t localMinute, const ClockMovement& moved) const;
  // The latest local minute walked, if any.
  std::optional<std::int64_t> LastWalked() const { return lastWalked_; }
  // A walk of that local minute begins; what was launched for earlier minutes is forgotten, and
  // after a walk again, all that was launched.
  void BeginWalk(std::int64_t localMinute);

  // Why that line may not launch for that minute now; empty when it may.
  AnsiString Refusal(const LineKey& line, std::int64_t localMinute) const;
  // The line's launch for that minute began at that time, and waits until it has returned.
  void Began(const LineKey& line, std::int64_t localMinute, const SystemTime& at);
  void Returned(const LineKey& line);
  int Waiting() const { return static_cast<int>(waiting_.size()); }

 private:
  std::optional<std::int64_t> lastWalked_;
  std::map<LineKey, std::int64_t> launched_;  // the minute each line last launched for
  std::map<LineKey, SystemTime> waiting_;     // launches not yet returned, by their start
};

}  // namespace pendulon
