#include "checker/log/PendulonStatus.h"

#include <cstdio>

#include "checker/log/EventWords.h"
#include "checker/text/CalendarWords.h"
#include "platform/MainWindowIdentity.h"
#include "runlog/TimeStamp.h"

namespace pendulon {
namespace {

// "09:12" on the day given, "Mon 2026-12-07 09:12" on another; as written if it is no stamp.
std::string When(const std::string& stamp, const LocalMinute& day) {
  const std::optional<ReadStamp> read = ParseTimeStamp(stamp);
  if (!read)
    return LogTime(stamp);
  const LocalMinute at = MinuteOf(read->local);
  if (at.year != day.year || at.month != day.month || at.day != day.day)
    return ReadableText(at);
  char text[8];
  std::snprintf(text, sizeof text, "%02d:%02d", at.hour, at.minute);
  return text;
}

// "; the first minute it walks is 09:14", as the start's first load tells it. Before that load
// is in the log, the start is still in its wait for second 00, which ends in the minute after the
// start's; a start that long past without its load lost it, and nothing is said.
std::string FirstWalk(const ProcessRun& run, const LocalMinute& now) {
  std::optional<LocalMinute> told = run.firstWalk;
  bool waiting = false;
  if (!told)
    if (const std::optional<ReadStamp> started = ParseTimeStamp(run.start.stamp)) {
      told = MinuteAfter(MinuteAfter(MinuteOf(started->local)));
      waiting = true;
    }
  if (!told)
    return {};
  const LocalMinute& first = *told;
  char stamp[40];
  std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02dT%02d:%02d:00.000+00:00", first.year % 10000,
                first.month % 100, first.day % 100, first.hour % 100, first.minute % 100);
  const bool ahead = first > now;
  if (waiting)
    return ahead ? "; it waits for second 00, and the first minute it walks is " + When(stamp, now)
                 : std::string();
  return std::string("; the first minute it ") + (ahead ? "walks is " : "walked was ") +
         When(stamp, now);
}

std::string FromLog(const ProcessRun& run, bool ended, const LocalMinute& now) {
  const std::string started = When(run.start.stamp, now);
  if (run.end) {
    const std::optional<ReadStamp> start = ParseTimeStamp(run.start.stamp);
    return "last started " + started + ", ended " +
           When(run.end->stamp, start ? MinuteOf(start->local) : now) + " (" +
           EndReasonWords(run.end->fields[EndField::kReason]) + ")";
  }
  if (ended)
    return "started " + started +
           " and ended without a record: the process was ended from outside, or the computer "
           "went off";
  return "running since " + started + " according to the run log" + FirstWalk(run, now);
}

}  // namespace

std::optional<bool> PendulonStatus::Running() const {
  if (window)
    return window;
  if (last)
    return !last->end.has_value();
  return std::nullopt;
}

std::optional<PendulonStatus> StatusOf(WindowLookup* windows, bool logRead,
                                       const std::optional<ProcessRun>& last,
                                       const LocalMinute& now) {
  if (windows == nullptr && !logRead)
    return std::nullopt;
  PendulonStatus status;
  status.logRead = logRead;
  status.last = last;
  std::string said;
  if (windows != nullptr) {
    status.window = windows->WindowExists(kMainWindowClass, kMainWindowCaption);
    said =
        *status.window ? "running (its window is there)" : "not running (its window is not there)";
  }
  if (last) {
    const bool ended = status.window.has_value() && !*status.window;
    said += (said.empty() ? "" : "; ") + FromLog(*last, ended, now);
  } else if (logRead) {
    said += (said.empty() ? "" : "; ") + std::string("the run log records no start");
  }
  status.words = "Pendulon: " + said;
  return status;
}

}  // namespace pendulon
