#pragma once
// Splits a run log's bytes into its lines as they arrive, holding no more than about two of the
// longest lines the writer makes, whatever the bytes. A line ends at LF, and a CR before it is
// dropped, so a log that an editor saved with LF alone reads as well. A line cut short (on a
// full disk, say) runs on into the line appended after it; it is split where that line starts,
// and the part cut short is told as malformed, never read as one record with what follows.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "runlog/RunLogFormat.h"

namespace pendulon {

class RunLogLines {
 public:
  // Told each line by its number from 1: its entry, or nothing for a line that is malformed or
  // cut short. A line that runs on into others is told once for each, under its one number.
  // The line's number counts from 1 in all that was added; 64 bits, as --follow adds for ever.
  using Take = std::function<void(std::int64_t number, std::optional<LogEntry> entry)>;

  explicit RunLogLines(Take take) : take_(std::move(take)) {}

  // Reading begins inside the log: the bytes up to the first line end are the rest of a line
  // not read, and are dropped without being told.
  void BeginInsideALine() { dropping_ = true; }
  void Add(std::string_view bytes);
  // No more bytes: a last line without its line end was cut short, or is still being written.
  void Finish();
  // The bytes held of a line not ended yet.
  std::size_t Held() const { return pending_.size(); }

 private:
  void Hold(std::string_view part);
  void Line(std::string_view line, bool headLost);

  Take take_;
  std::string pending_;    // the line so far, when it spans two pieces of bytes
  bool headLost_ = false;  // the line grew too long and its beginning was dropped
  bool dropping_ = false;
  std::int64_t number_ = 0;
};

}  // namespace pendulon
