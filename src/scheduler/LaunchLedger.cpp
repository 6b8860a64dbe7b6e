#include "scheduler/LaunchLedger.h"

#include <string>

#include "scheduler/WalkWords.h"

namespace pendulon {

LaunchLedger::Verdict LaunchLedger::Judge(std::int64_t localMinute,
                                          const ClockMovement& moved) const {
  if (!lastWalked_ || localMinute > *lastWalked_)
    return Verdict::kWalk;
  // The hour repeated when summer time ends, and a zone further west, show their minutes anew.
  if (moved.offsetChange < 0 || moved.steppedMs < -kMostCorrectionMs)
    return Verdict::kWalkAgain;
  return Verdict::kNotAgain;
}

void LaunchLedger::BeginWalk(std::int64_t localMinute) {
  if (lastWalked_ && localMinute <= *lastWalked_)
    launched_.clear();  // walked again: its minutes are served anew
  lastWalked_ = localMinute;
  for (auto entry = launched_.begin(); entry != launched_.end();)
    entry = entry->second < localMinute ? launched_.erase(entry) : std::next(entry);
}

AnsiString LaunchLedger::Refusal(const LineKey& line, std::int64_t localMinute) const {
  // A shell box shown during a launch runs ticks inside it; launching the same line again there
  // would nest one more box each minute until the stack runs out.
  if (const auto waiting = waiting_.find(line); waiting != waiting_.end())
    return "its launch at " + TimeOfDay(waiting->second) + " is still waiting in the shell";
  if (const auto launched = launched_.find(line);
      launched != launched_.end() && launched->second >= localMinute)
    return "it has launched for this minute already";
  // Other lines may not nest boxes without end either.
  if (Waiting() >= kMostWaiting)
    return std::to_string(kMostWaiting) + " launches are still waiting in the shell";
  return AnsiString();
}

void LaunchLedger::Began(const LineKey& line, std::int64_t localMinute, const SystemTime& at) {
  launched_[line] = localMinute;
  waiting_[line] = at;
}

void LaunchLedger::Returned(const LineKey& line) {
  waiting_.erase(line);
}

}  // namespace pendulon
