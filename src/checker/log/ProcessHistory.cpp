#include "checker/log/ProcessHistory.h"

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
  // A copy that ran has ended; starts before it that never ended are past.
  ended_ = ProcessRun{open_.back().start, entry, open_.back().firstLoad, open_.back().firstWalk};
  open_.clear();
  dropped_ = 0;
}

std::optional<ProcessRun> ProcessHistory::Last() const {
  // A refused start whose end was lost ran nothing.
  for (auto run = open_.rbegin(); run != open_.rend(); ++run) {
    if (run->start.fields[StartField::kOutcome] != kStartRefused)
      return *run;
  }
  return ended_;
}

}  // namespace pendulon
