#include "checker/folder/RaisingAbove.h"

namespace pendulon {

RaisingAbove::Found RaisingAbove::Above(const Schedule& when) {
  // Raising schedules are only ever added, so a schedule asked about again compares only those
  // added since.
  Seen& seen = seen_[when];
  for (; seen.compared < raising_.size(); ++seen.compared) {
    const Overlap& raising = raising_[seen.compared];
    const std::optional<Schedule> both = Intersect(raising.both, when);
    if (!both)
      continue;
    if (seen.found.first.size() < kMostNamed)
      seen.found.first.push_back({raising.line, *both});
    else
      ++seen.found.more;
  }
  return seen.found;
}

void RaisingAbove::AddRaising(const Schedule& when, int line) {
  if (known_.try_emplace(when, raising_.size()).second)
    raising_.push_back({line, when});
}

}  // namespace pendulon
