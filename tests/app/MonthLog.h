#pragma once
// The run log of the month as the world saw it written, and what the checker's model says it must
// hold: each expected record is matched to a line written at the same moment with the same
// identifying fields, whose other fields it then checks; a record missing at a moment the log
// could not take it is excused, and must be counted by the next lost notice.

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "app/MonthCheck.h"
#include "support/SimWorld.h"

namespace pendulon::sim {

// One line of the run log, by the world's record of the write that made it.
struct WrittenLine {
  std::int64_t at = 0, elapsed = 0;  // when the write was made
  std::int64_t stampAt = 0;          // what its stamp says, as UTC
  std::size_t sizeAfter = 0;         // the log's size once the write was made
  std::size_t write = 0;             // the write it came in
  std::string event;
  std::vector<std::string> fields;
  bool used = false;
};

// A record the log must hold: that event, written at that moment, with those fields at those
// places, and a check of its other fields that gives what is wrong, or nothing.
struct Expected {
  std::int64_t at = 0, elapsed = 0;
  std::string event;
  std::vector<std::pair<std::size_t, std::string>> key;
  std::function<std::string(const std::vector<std::string>&)> check;
  std::string what;  // in words, for a violation
};

class MonthLog {
 public:
  explicit MonthLog(const SimWorld& world);

  const std::vector<WrittenLine>& Lines() const { return lines_; }
  std::size_t LargestSize() const { return largest_; }

  // Matches the expected records to the lines; a missing one is a violation unless the log could
  // not take it then (down tells).
  void Match(const std::vector<Expected>& expected,
             const std::function<bool(std::int64_t elapsed)>& down,
             std::vector<Violation>& violations);
  // The lines of these events that no expected record matched: records of what did not happen.
  void Unmatched(const std::vector<std::string>& events, std::vector<Violation>& violations) const;
  // Each lost notice counts at least the records excused since the line written before it.
  void LostCounted(std::vector<Violation>& violations) const;

 private:
  std::vector<WrittenLine> lines_;
  // The lines by the monotonic moment they were written at, and their event.
  std::map<std::pair<std::int64_t, std::string>, std::vector<std::size_t>> byMoment_;
  std::vector<std::int64_t> excused_;  // monotonic moments of the records excused
  std::size_t largest_ = 0;
};

}  // namespace pendulon::sim
