#include "checker/folder/MissedLaunch.h"

#include "runlog/TimeStamp.h"

namespace pendulon {
namespace {

std::optional<LocalMinute> Minute(const std::string& text) {
  const std::optional<SystemTime> time = ParseMinuteText(text);
  return time ? std::optional<LocalMinute>(MinuteOf(*time)) : std::nullopt;
}

}  // namespace

std::optional<RunLogRecord> MissedIn(const std::vector<RunLogRecord>& gaps,
                                     const LineReport& line) {
  if (!line.schedule)
    return std::nullopt;
  for (const RunLogRecord& gap : gaps) {
    if (line.lastRun && gap.order < line.lastRun->order)
      break;  // older than what the log says of the line itself
    const std::optional<LocalMinute> from = Minute(gap.minute);
    const std::optional<LocalMinute> to = gap.event == LogEvent::kNoWalk ? Minute(gap.until) : from;
    if (!from || !to || (gap.event == LogEvent::kNotExamined && line.number < gap.line))
      continue;
    if (const std::optional<LocalMinute> due = FirstIn(*line.schedule, *from, *to)) {
      RunLogRecord missed = gap;
      missed.missed = MinuteText(*due);
      return missed;
    }
  }
  return std::nullopt;
}

}  // namespace pendulon
