#include "runlog/RunLogLines.h"

namespace pendulon {
namespace {

// Two of the longest lines: a line cut short and the whole one run on after it. Past this only
// the last longest line's worth is kept, which still holds a whole line at the end.
constexpr std::size_t kMostHeld = 2 * kMostLineBytes;

}  // namespace

void RunLogLines::Add(std::string_view bytes) {
  while (!bytes.empty()) {
    const std::size_t end = bytes.find('\n');
    if (end == std::string_view::npos) {
      Hold(bytes);
      return;
    }
    const std::string_view part = bytes.substr(0, end);
    bytes.remove_prefix(end + 1);
    if (dropping_) {
      dropping_ = false;
      continue;
    }
    if (pending_.empty() && !headLost_) {
      Line(part, false);
      continue;
    }
    Hold(part);
    Line(pending_, headLost_);
    pending_.clear();
    headLost_ = false;
  }
}

void RunLogLines::Finish() {
  if (!dropping_ && (!pending_.empty() || headLost_))
    take_(++number_, std::nullopt);
  pending_.clear();
  headLost_ = false;
}

void RunLogLines::Hold(std::string_view part) {
  if (dropping_)
    return;
  pending_ += part;
  if (pending_.size() > kMostHeld) {
    pending_.erase(0, pending_.size() - kMostLineBytes);
    headLost_ = true;
  }
}

void RunLogLines::Line(std::string_view line, bool headLost) {
  ++number_;
  if (!line.empty() && line.back() == '\r')
    line.remove_suffix(1);
  std::size_t start = 0;
  if (headLost) {
    take_(number_, std::nullopt);
    start = FindLineStart(line, 0);
  }
  while (start != std::string_view::npos) {
    const std::size_t next = FindLineStart(line, start + 1);
    // Another line starts within this one: what comes before it was cut short.
    take_(number_,
          next == std::string_view::npos ? ParseLogLine(line.substr(start)) : std::nullopt);
    start = next;
  }
}

}  // namespace pendulon
