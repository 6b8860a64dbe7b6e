#pragma once
// Whether the executer runs, as qefcheck can tell: on Windows its hidden window, which a running
// copy keeps, and anywhere the run log's last start and end.

#include <optional>
#include <string>

#include "checker/log/ProcessHistory.h"
#include "platform/Calendar.h"
#include "platform/WindowLookup.h"

namespace pendulon {

struct PendulonStatus {
  std::optional<bool> window;      // its window is there; none where it cannot be looked for
  std::optional<ProcessRun> last;  // the run log's last start, and its end if logged
  bool logRead = false;            // a run log was read
  // The header's line: "Pendulon: running (its window is there); running since 09:12 according
  // to the run log".
  std::string words;
  // Where a running copy's program was asked for: its path, and whether it serves this folder.
  std::string program;
  bool servesThisFolder = true;

  // What is known: the window where it was looked for, else the log's last start.
  std::optional<bool> Running() const;
};

// None when neither a window lookup nor a run log can tell anything. Times of today (the day of
// now) are given as their clock time alone.
std::optional<PendulonStatus> StatusOf(WindowLookup* windows, bool logRead,
                                       const std::optional<ProcessRun>& last,
                                       const LocalMinute& now);

}  // namespace pendulon
