#pragma once
// What the run log says of the executer's last start: when it began, and when and why it ended,
// or that no end followed. An end says nothing of the process it ends, so ends are paired with
// starts as the executer writes them: a copy that stops at once (a second copy, a refused start)
// ends with "stop" right after its own start, and leaves the copy started before it running.

#include <cstddef>
#include <deque>
#include <optional>
#include <string>

#include "platform/Calendar.h"
#include "runlog/RunLogFormat.h"

namespace pendulon {

struct ProcessRun {
  LogEntry start;
  std::optional<LogEntry> end;  // none: no end follows it in the log
  // The stamp of its first load, written once it waited for second 00. Empty before it is read.
  std::string firstLoad;
  // The first minute it walks, as that load tells it; none before it is read.
  std::optional<LocalMinute> firstWalk;
};

// The first minute a start walks, as its first load (or failed first load) tells it. A load of an
// older log, which does not, was written in the minute its wait for second 00 ended, and the
// walks begin after that minute. None for any other line.
std::optional<LocalMinute> FirstWalkOf(const LogEntry& firstLoad);

class ProcessHistory {
 public:
  // The start and end events, in the log's order.
  void Take(const LogEntry& entry);

  // The last start of a copy that ran, with its end if the log has one; none without a start. A
  // copy that loaded the task file is preferred to a later one that has not yet.
  std::optional<ProcessRun> Last() const;
  // The latest start with no end yet; null when there is none.
  const ProcessRun* Latest() const { return open_.empty() ? nullptr : &open_.back(); }

  // Starts with no end kept at most: a copy that stops at once ends right after its own start,
  // so a real log nests two or three; a log of nothing but starts must not be held whole.
  static constexpr std::size_t kMostOpen = 64;

 private:
  std::deque<ProcessRun> open_;      // the latest starts with no end yet, the latest last
  std::size_t dropped_ = 0;          // older starts with no end, no longer kept
  std::optional<ProcessRun> ended_;  // the last copy that ended after it ran
};

}  // namespace pendulon
