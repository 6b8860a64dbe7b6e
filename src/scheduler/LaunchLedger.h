#pragma once
// The one record that keeps the minute walks' promise: a minute of the clock is walked at most
// once, a task line launches at most once for one minute, and at most 8 launches wait in the
// shell at once. Minutes are counted in UTC, so that the hour the clock repeats when summer time
// ends is walked twice, while a clock the time service sets back a little walks nothing twice.

#include <cstdint>
#include <map>
#include <optional>
#include <utility>

#include "platform/AnsiString.h"
#include "platform/SystemTime.h"

namespace pendulon {

class LaunchLedger {
 public:
  // Each waiting launch holds a shell box and its modal loop on the one thread's stack.
  static constexpr int kMostWaiting = 8;
  // A clock set back further than this was set by someone, not corrected: its minutes are walked
  // again, rather than none at all until the clock has caught up, maybe years later.
  static constexpr std::int64_t kMostCorrectionMinutes = 10;

  // A task line by its number and item: a reload that puts another line there is another line.
  using LineKey = std::pair<int, AnsiString>;

  enum class Verdict {
    kWalk,     // a minute after the last one walked: walk it
    kWalked,   // the minute last walked, or one shortly before: it is not walked again
    kSetBack,  // the clock went back further than a correction: walk it, and start afresh
  };
  Verdict Judge(std::int64_t utcMinute) const;
  // The minute last walked, if any.
  std::optional<std::int64_t> LastWalked() const { return lastWalked_; }
  // A walk of that minute begins; what was launched for earlier minutes is forgotten.
  void BeginWalk(std::int64_t utcMinute);

  // Why that line may not launch for that minute now; empty when it may.
  AnsiString Refusal(const LineKey& line, std::int64_t utcMinute) const;
  // The line's launch for that minute began at that time, and waits until it has returned.
  void Began(const LineKey& line, std::int64_t utcMinute, const SystemTime& at);
  void Returned(const LineKey& line);
  int Waiting() const { return static_cast<int>(waiting_.size()); }

 private:
  std::optional<std::int64_t> lastWalked_;
  std::map<LineKey, std::int64_t> launched_;  // the minute each line last launched for
  std::map<LineKey, SystemTime> waiting_;     // launches not yet returned, by their start
};

}  // namespace pendulon
