#include "checker/log/ProcessHistory.h"

#include <algorithm>

#include "checker/text/CalendarWords.h"
#include "runlog/RunLogWords.h"
#include "runlog/TimeStamp.h"

namespace pendulon {

std::optional<LocalMinute> FirstWalkOf(const LogEntry& firstLoad) {
  static_assert(std::size_t{LoadField::kKind} == LoadFailedField::kKind);
  std::size_t field = 0;
  if (firstLoad.event == LogEvent::kLoad)
    field = LoadField::kFirstWalk;
  else if (firstLoad.event == LogEvent::kLoadFailed)
    field = LoadFailedField::kFirstWalk;
  if (field == 0 || firstLoad.fields.size() <= field ||
      firstLoad.fields[LoadField::kKind] != kLoadFirst)
    return std::nullopt;
  if (const std::optional<SystemTime> told = ParseMinuteText(firstLoad.fields[field]))
    return MinuteOf(*told);
  if (const std::optional<ReadStamp> written = ParseTimeStamp(firstLoad.stamp))
    return MinuteAfter(MinuteOf(written->local));
  return std::nullopt;
}

void ProcessHistory::Take(const LogEntry& entry) {
  if (entry.event == LogEvent::kStart) {
    open_.push_back({entry, std::nullopt, {}, std::nullopt});
    if (open_.size() > kMostOpen) {
      open_.pop_front();
      ++dropped_;
    }
    return;
  }
  if ((entry.event == LogEvent::kLoad || entry.event == LogEvent::kLoadFailed) && !open_.empty() &&
      open_.back().firstLoad.empty() && !entry.fields.empty() &&
      entry.fields[LoadField::kKind] == kLoadFirst) {
    open_.back().firstLoad = entry.stamp;
    open_.back().firstWalk = FirstWalkOf(entry);
    return;
  }
  if (entry.event != LogEvent::kEnd || (open_.empty() && dropped_ == 0))
    return;
  if (open_.empty()) {
    // It ends a start no longer kept, whose words are gone: a stop leaves the ones before it
    // open, any other end closes them all.
    dropped_ = entry.fields[EndField::kReason] == kEndStop ? dropped_ - 1 : 0;
    return;
  }
  if (entry.fields[EndField::kReason] == kEndStop) {
    open_.pop_back();
    return;
  }
  // A copy that ran has ended; starts before it that never ended are past. The copy that ran is
  // the latest that loaded the task file: a later start without its first load was still in its
  // wait for second 00, or stopped with its lines lost, and ran nothing.
  auto ran = std::find_if(open_.rbegin(), open_.rend(),
                          [](const ProcessRun& run) { return !run.firstLoad.empty(); });
  const ProcessRun& last = ran != open_.rend() ? *ran : open_.back();
  ended_ = ProcessRun{last.start, entry, last.firstLoad, last.firstWalk};
  open_.clear();
  dropped_ = 0;
}

std::optional<ProcessRun> ProcessHistory::Last() const {
  // A refused start whose end was lost ran nothing; a start still in its wait for second 00 (a
  // second copy, most often, which then stops) runs only if no copy that loaded is open.
  const ProcessRun* waiting = nullptr;
  for (auto run = open_.rbegin(); run != open_.rend(); ++run) {
    if (run->start.fields[StartField::kOutcome] == kStartRefused)
      continue;
    if (!run->firstLoad.empty())
      return *run;
    if (waiting == nullptr)
      waiting = &*run;
  }
  if (waiting != nullptr)
    return *waiting;
  return ended_;
}

}  // namespace pendulon
