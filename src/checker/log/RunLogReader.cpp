#include "checker/log/RunLogReader.h"

#include <algorithm>
#include <cstdio>
#include <deque>

#include "checker/log/LogFileReading.h"
#include "checker/text/CalendarWords.h"
#include "checker/text/Printable.h"
#include "platform/Files.h"
#include "platform/FolderFiles.h"
#include "runlog/RunLogLines.h"
#include "runlog/RunLogWords.h"
#include "runlog/TimeStamp.h"

namespace pendulon {
namespace {

// The report shows a field's first 256 bytes, then "...": a field kept whole for each task line
// could be 4 KiB, shown four characters a control byte.
LogEntry ShownPart(const LogEntry& entry) {
  constexpr std::size_t kMostShownBytes = 256;
  LogEntry shown;
  shown.stamp = entry.stamp;
  shown.event = entry.event;
  shown.fields.reserve(entry.fields.size());
  for (const std::string& field : entry.fields) {
    if (field.size() <= kMostShownBytes)
      shown.fields.push_back(field);
    else
      shown.fields.push_back(field.substr(0, kMostShownBytes) + std::string(kCutText));
  }
  return shown;
}

// When a stamp was written, in milliseconds since 1970 UTC; none for a stamp that is no time.
std::optional<std::int64_t> UtcMilliseconds(std::string_view stamp) {
  const std::optional<ReadStamp> read = ParseTimeStamp(stamp);
  if (!read)
    return std::nullopt;
  const SystemTime& t = read->local;
  const std::int64_t localMs =
      ((DaysFromCivil(t.year, t.month, t.day) * 24 + t.hour) * 60 + t.minute) * 60000 +
      t.second * 1000 + t.milliseconds;
  return localMs - std::int64_t{read->utcOffsetMinutes} * 60000;
}

// The events the report tells of: last runs, gaps and failures.
bool Kept(LogEvent event) {
  switch (event) {
    case LogEvent::kLaunch:
    case LogEvent::kNoLaunch:
    case LogEvent::kWaiting:
    case LogEvent::kNoWalk:
    case LogEvent::kNotExamined:
    case LogEvent::kBoxOpen:
    case LogEvent::kLoadFailed:
      return true;
    default:
      return false;
  }
}

// Takes the lines of the log into the summary, keeping only what the report shows.
class Collector {
 public:
  Collector(RunLogSummary& summary, const std::set<int>& taskLines)
      : summary_(summary), taskLines_(taskLines) {}

  // A read holds at most 16 MiB of lines, so their numbers fit an int.
  void Take(int number, const std::optional<LogEntry>& entry) {
    if (!entry || !Record(*entry)) {
      ++summary_.skipped;
      if (summary_.malformed.size() < RunLogSummary::kMostNamed)
        summary_.malformed.push_back({summary_.files.size() - 1, number});
      return;
    }
    ++summary_.records;
  }

  void Finish() {
    summary_.failures.assign(failures_.rbegin(), failures_.rend());
    summary_.gaps.assign(gaps_.rbegin(), gaps_.rend());
    summary_.lastStart = history_.Last();
  }

 private:
  // False for a launch or a launch of nothing whose task line is no number from 1.
  bool Record(const LogEntry& whole) {
    const ProcessRun* before = history_.Latest();
    const bool waiting = before != nullptr && before->firstLoad.empty();
    history_.Take(whole);
    if (waiting && history_.Latest() == before && !before->firstLoad.empty())
      PassedOver(*before);
    if (whole.event == LogEvent::kLoad)
      if (const std::optional<std::int64_t> at = UtcMilliseconds(whole.stamp))
        summary_.loads.push_back(*at);
    if (!Kept(whole.event))
      return true;  // a line the report does not use
    RunLogRecord r;
    const LogEntry entry = ShownPart(whole);
    r.event = entry.event;
    r.time = entry.stamp;
    r.utcMs = UtcMilliseconds(entry.stamp);
    r.entry = entry;
    r.order = summary_.records + 1;
    const auto& f = entry.fields;
    switch (entry.event) {
      case LogEvent::kLaunch:
      case LogEvent::kNoLaunch:
      case LogEvent::kWaiting: {
        static_assert(std::size_t{LaunchField::kMinute} == NoLaunchField::kMinute &&
                      std::size_t{LaunchField::kLine} == NoLaunchField::kLine &&
                      std::size_t{LaunchField::kItem} == NoLaunchField::kItem &&
                      std::size_t{LaunchField::kMinute} == WaitingField::kMinute &&
                      std::size_t{LaunchField::kLine} == WaitingField::kLine &&
                      std::size_t{LaunchField::kItem} == WaitingField::kItem);
        std::int64_t line = 0;
        if (!ParseLogNumber(f[LaunchField::kLine], line) || line < 1 || line > 0x7FFFFFFF)
          return false;
        r.minute = f[LaunchField::kMinute];
        r.line = static_cast<int>(line);
        r.item = f[LaunchField::kItem];
        if (entry.event == LogEvent::kLaunch) {
          ParseLogNumber(f[LaunchField::kAnswer], r.answer);
          r.file = f[LaunchField::kFile];
          r.meaning = f[LaunchField::kMeaning];
        } else if (entry.event == LogEvent::kNoLaunch) {
          r.text = f[NoLaunchField::kReason];
        }
        break;
      }
      case LogEvent::kNoWalk:
      case LogEvent::kNotExamined: {
        if (entry.event == LogEvent::kNoWalk) {
          r.minute = f[NoWalkField::kFirst];
          r.until = f[NoWalkField::kLast];
          r.text = f[NoWalkField::kReason];
        } else {
          std::int64_t line = 0;
          if (!ParseLogNumber(f[NotExaminedField::kLine], line) || line < 1 || line > 0x7FFFFFFF)
            return false;
          r.minute = f[NotExaminedField::kMinute];
          r.line = static_cast<int>(line);
          r.text = f[NotExaminedField::kReason];
        }
        gaps_.push_back(std::move(r));
        if (gaps_.size() > RunLogSummary::kMostGaps)
          gaps_.pop_front();
        return true;
      }
      case LogEvent::kBoxOpen: {
        // Its words name the line whose walk raised it; the line's own no-launch, which has its
        // item, stays its last run.
        std::int64_t line = 0;
        if (!f[BoxOpenField::kLine].empty() &&
            (!ParseLogNumber(f[BoxOpenField::kLine], line) || line < 1 || line > 0x7FFFFFFF))
          return false;
        r.text = f[BoxOpenField::kText];
        break;
      }
      case LogEvent::kLoadFailed:
        r.loadKind = f[LoadFailedField::kKind];
        r.path = f[LoadFailedField::kPath];
        r.text = f[LoadFailedField::kError];
        break;
      default:
        return true;  // a line the report does not use
    }
    if (r.Failed())
      AddFailure(r);
    if (r.line > 0 && taskLines_.count(r.line) != 0)
      summary_.lastByLine[r.line] = std::move(r);
    return true;
  }

  // A start passes over the minutes before the first it walks, as its first load tells: a gap
  // like a no-walk, so that a line due in them says why it did not run.
  void PassedOver(const ProcessRun& run) {
    const std::optional<ReadStamp> started = ParseTimeStamp(run.start.stamp);
    if (!started || !run.firstWalk || *run.firstWalk <= MinuteOf(started->local))
      return;
    const LocalMinute from = MinuteOf(started->local), to = MinuteBefore(*run.firstWalk);
    char clock[16];
    std::snprintf(clock, sizeof clock, "%02d:%02d:%02d", started->local.hour % 100,
                  started->local.minute % 100, started->local.second % 100);
    const std::string first = MinuteText(*run.firstWalk);
    RunLogRecord r;
    r.event = LogEvent::kNoWalk;
    r.time = run.firstLoad;
    r.utcMs = UtcMilliseconds(run.firstLoad);
    r.minute = MinuteText(from);
    r.until = MinuteText(to);
    r.text = std::string("Pendulon started at ") + clock + ", and walks from " +
             first.substr(first.size() - 5);
    r.entry = {run.firstLoad, LogEvent::kNoWalk, {r.minute, r.until, r.text}};
    r.startUp = true;
    r.order = summary_.records + 1;
    gaps_.push_back(std::move(r));
    if (gaps_.size() > RunLogSummary::kMostGaps)
      gaps_.pop_front();
  }

  // One broken line fails every minute: a failure like one listed already replaces it, counted,
  // so that the list holds the last ten distinct failures.
  void AddFailure(RunLogRecord r) {
    const auto same = std::find_if(failures_.begin(), failures_.end(), [&](const RunLogRecord& f) {
      return f.event == r.event && f.line == r.line && f.item == r.item && f.file == r.file &&
             f.answer == r.answer && f.meaning == r.meaning && f.text == r.text;
    });
    if (same != failures_.end()) {
      r.repeats = same->repeats + 1;
      r.firstTime = same->firstTime.empty() ? same->time : same->firstTime;
      failures_.erase(same);
    }
    failures_.push_back(std::move(r));
    if (failures_.size() > RunLogSummary::kMostFailures)
      failures_.pop_front();
  }

  RunLogSummary& summary_;
  const std::set<int>& taskLines_;
  std::deque<RunLogRecord> failures_;  // oldest first
  std::deque<RunLogRecord> gaps_;      // oldest first
  ProcessHistory history_;
};

// Reads one file of the log, if it is there, into the summary.
void ReadFile(FileReader& files, Links* links, const AnsiString& path, Collector& collector,
              RunLogSummary& summary) {
  const FoundFile found = files.FindFile(path);
  const std::optional<AnsiString> target = links ? links->LinkTarget(path) : std::nullopt;
  if (!found.found && !target)
    return;
  RunLogFile& entry = summary.files.emplace_back();
  entry.path = path;
  if (target) {
    entry.notRead = "it is a link to " + (target->empty() ? "an unknown place" : Visible(*target));
    return;
  }
  if (found.directory) {
    entry.notRead = "it is a folder, not a file";
    return;
  }
  RunLogLines lines([&](std::int64_t number, std::optional<LogEntry> line) {
    collector.Take(static_cast<int>(number), line);
  });
  // A log whose roll-over keeps failing grows without end: only its last 16 MiB are read.
  const LogFileReading reading = ReadLogFile(files, links, path, 0, kMostLogBytes, lines);
  if (reading.link) {
    const std::optional<AnsiString> swapped = links->LinkTarget(path);
    entry.notRead = "it is a link to " +
                    (!swapped || swapped->empty() ? "an unknown place" : Visible(*swapped));
    return;
  }
  if (reading.opened && reading.kind != FileKind::kFile) {
    entry.notRead = WhyNotRead(reading.kind);
    return;
  }
  entry.tail = reading.tail;
  if ((!reading.opened || reading.failed) && summary.error.empty())
    summary.error = "Cannot read " + path;
  lines.Finish();
}

}  // namespace

bool RunLogSummary::AnyLogFile() const {
  return std::any_of(files.begin(), files.end(),
                     [](const RunLogFile& f) { return f.notRead.empty(); });
}

std::optional<RunLogSummary> ReadRunLog(FileReader& files, const AnsiString& logPath,
                                        const std::set<int>& taskLines, Links* links) {
  RunLogSummary summary;
  Collector collector(summary, taskLines);
  for (const AnsiString& path : {OlderRunLog(logPath), logPath})
    ReadFile(files, links, path, collector, summary);
  if (summary.files.empty())
    return std::nullopt;
  collector.Finish();
  return summary;
}

}  // namespace pendulon
