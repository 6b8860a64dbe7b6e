#include "scheduler/LaunchLedger.h"

#include <string>

#include "scheduler/WalkWords.h"

namespace pendulon {

LaunchLedger::Verdict LaunchLedger::Judge(std::int64_t utcMinute) const {
  if (!lastWalked_ || utcMinute > *lastWalked_)
    return Verdict::kWalk;
  return *lastWalked_ - utcMinute > kMostCorrectionMinutes ? Verdict::kSetBack : Verdict::kWalked;
}

void LaunchLedger::BeginWalk(std::int64_t utcMinute) {
  if (lastWalked_ && utcMinute < *lastWalked_)
    launched_.clear();  // set back: its minutes are served anew
  lastWalked_ = utcMinute;
  for (auto entry = launched_.begin(); entry != launched_.end();)
    entry = entry->second < utcMinute ? launched_.erase(entry) : std::next(entry);
}

AnsiString LaunchLedger::Refusal(const LineKey& line, std::int64_t utcMinute) const {
  // A shell box shown during a launch runs ticks inside it; launching the same line again there
  // would nest one more box each minute until the stack runs out.
  if (const auto waiting = waiting_.find(line); waiting != waiting_.end())
    return "its launch at " + TimeOfDay(waiting->second) + " is still waiting in the shell";
  if (const auto launched = launched_.find(line);
      launched != launched_.end() && launched->second >= utcMinute)
    return "it has launched for this minute already";
  // Other lines may not nest boxes without end either.
  if (Waiting() >= kMostWaiting)
    return std::to_string(kMostWaiting) + " launches are still waiting in the shell";
  return AnsiString();
}

void LaunchLedger::Began(const LineKey& line, std::int64_t utcMinute, const SystemTime& at) {
  launched_[line] = utcMinute;
  waiting_[line] = at;
}

void LaunchLedger::Returned(const LineKey& line) {
  waiting_.erase(line);
}

}  // namespace pendulon
