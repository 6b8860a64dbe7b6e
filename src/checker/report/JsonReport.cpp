#include "checker/report/JsonReport.h"

#include <algorithm>
#include <iterator>
#include <map>

#include "checker/report/JsonText.h"

namespace pendulon {
namespace {

std::string RecordJson(const RunLogRecord& r) {
  Members m = {{"time", JsonString(r.time)}, {"event", JsonString(EventName(r.event))}};
  if (r.event == LogEvent::kLaunch || r.event == LogEvent::kNoLaunch ||
      r.event == LogEvent::kWaiting) {
    m.emplace_back("minute", JsonString(r.minute));
    m.emplace_back("line", Number(r.line));
    m.emplace_back("item", JsonString(r.item));
  } else if (r.event == LogEvent::kNoWalk) {
    m.emplace_back("from", JsonString(r.minute));
    m.emplace_back("to", JsonString(r.until));
  } else if (r.event == LogEvent::kNotExamined) {
    m.emplace_back("minute", JsonString(r.minute));
    m.emplace_back("fromLine", Number(r.line));
  }
  if (!r.missed.empty())
    m.emplace_back("missed", JsonString(r.missed));
  if (r.repeats > 1) {
    m.emplace_back("times", Number(r.repeats));
    m.emplace_back("firstTime", JsonString(r.firstTime));
  }
  if (r.event == LogEvent::kLaunch) {
    m.emplace_back("file", JsonString(r.file));
    m.emplace_back("answer", std::to_string(r.answer));
    m.emplace_back("meaning", JsonString(r.meaning));
  } else if (r.event == LogEvent::kLoadFailed) {
    m.emplace_back("load", JsonString(r.loadKind));
    m.emplace_back("path", JsonString(r.path));
  }
  const bool why = r.event == LogEvent::kNoLaunch || r.event == LogEvent::kNoWalk ||
                   r.event == LogEvent::kNotExamined;
  if (r.event != LogEvent::kLaunch && r.event != LogEvent::kWaiting)
    m.emplace_back(why ? "reason" : "text", JsonString(r.text));
  return Object(m);
}

std::string RunLogJson(const RunLogSummary& log) {
  std::vector<std::string> read, tails;
  for (const RunLogFile& f : log.files) {
    if (!f.notRead.empty())
      continue;
    read.push_back(f.path);
    if (f.tail)
      tails.push_back(f.path);
  }
  const auto notReadJson = [](const RunLogFile& f) {
    return Object({{"file", JsonString(f.path)}, {"reason", JsonString(f.notRead)}});
  };
  std::vector<RunLogFile> unread;
  std::copy_if(log.files.begin(), log.files.end(), std::back_inserter(unread),
               [](const RunLogFile& f) { return !f.notRead.empty(); });
  const auto malformed = [&](const MalformedLine& m) {
    return Object({{"file", JsonString(log.files[m.file].path)}, {"line", Number(m.line)}});
  };
  return Object({{"files", Array(read, JsonString)},
                 {"lastSixteenMiBOnly", Array(tails, JsonString)},
                 {"notRead", Array(unread, notReadJson)},
                 {"records", Number(log.records)},
                 {"skipped", Number(log.skipped)},
                 {"firstSkippedLines", Array(log.malformed, malformed)},
                 {"error", OrNull(!log.error.empty(), JsonString(log.error))},
                 {"cannotWrite", OrNull(!log.cannotWrite.empty(), JsonString(log.cannotWrite))},
                 {"recentFailures", Array(log.failures, RecordJson)}});
}

std::string PendulonJson(const PendulonStatus& status) {
  const auto maybe = [](const std::optional<bool>& value) {
    return value ? Bool(*value) : std::string("null");
  };
  std::string start = "null", end = "null";
  if (status.last) {
    const std::vector<std::string>& f = status.last->start.fields;
    start = Object({{"time", JsonString(status.last->start.stamp)},
                    {"version", JsonString(f[StartField::kVersion])},
                    {"executable", JsonString(f[StartField::kExecutable])},
                    {"processId", f[StartField::kProcessId]}});
    if (const std::optional<LogEntry>& e = status.last->end)
      end = Object({{"time", JsonString(e->stamp)},
                    {"reason", JsonString(e->fields[EndField::kReason])},
                    {"milliseconds", e->fields[EndField::kMilliseconds]}});
  }
  const bool withoutRecord = status.window && !*status.window && status.last && !status.last->end;
  return Object(
      {{"running", maybe(status.Running())},
       {"window", maybe(status.window)},
       {"lastStart", start},
       {"end", end},
       {"endedWithoutRecord", Bool(withoutRecord)},
       {"program", OrNull(!status.program.empty(), JsonString(status.program))},
       {"servesThisFolder", status.program.empty() ? "null" : Bool(status.servesThisFolder)},
       {"words", JsonString(status.words)}});
}

// Schedules as JSON, each worked out once: lines below many raising ones share their overlaps.
using ScheduleTexts = std::map<Schedule, std::string>;

std::string LineJson(const LineReport& line, bool runLog, ScheduleTexts& schedules) {
  const auto failure = [&](const LineReport::Failure& f) {
    return Object({{"field", Number(f.field)},
                   {"fieldName", JsonString(FieldName(f.field))},
                   {"text", JsonString(line.fields[static_cast<std::size_t>(f.field)])},
                   {"code", JsonString(ProblemCode(f.problem))},
                   {"words", JsonString(f.words)}});
  };
  const auto error = [](const LineReport::Raised& e) {
    return Object({{"index", Number(e.index)},
                   {"message", JsonString(e.message)},
                   {"words", JsonString(e.words)}});
  };
  const auto overlap = [&](const Overlap& o) {
    const auto [known, fresh] = schedules.try_emplace(o.when);
    if (fresh)
      known->second = ScheduleJson(o.when);
    return Object({{"line", Number(o.line)}, {"schedule", known->second}});
  };
  // The minutes of next that the clock shows twice, and those it skips.
  std::vector<NextTime> twice;
  for (const NextTime& n : line.next) {
    if (n.twice)
      twice.push_back(n);
  }
  const auto skipped = [](const SkippedMinute& s) {
    return Object({{"minute", JsonString(MinuteText(s.at))},
                   {"clockFrom", JsonString(MinuteText(s.from))},
                   {"clockTo", JsonString(MinuteText(s.to))}});
  };
  Members m = {
      {"line", Number(line.number)},
      {"kind", JsonString(KindCode(line.kind))},
      {"text", JsonString(line.text)},
      {"fields", Array(line.fields, JsonString)},
      {"item", line.Item() ? JsonString(*line.Item()) : "null"},
      {"verdict", JsonString(VerdictCode(line.verdict))},
      {"problem", Bool(line.Problem())},
      {"reason", JsonString(line.reason)},
      {"failure", line.failure ? failure(*line.failure) : "null"},
      {"error", line.error ? error(*line.error) : "null"},
      {"schedule", line.schedule ? ScheduleJson(*line.schedule) : "null"},
      {"next", Array(line.next, [](const NextTime& n) { return JsonString(MinuteText(n.at)); })},
      {"nextTwice", Array(twice, [](const NextTime& n) { return JsonString(MinuteText(n.at)); })},
      {"nextSkipped", Array(line.skipped, skipped)},
      {"blockedBy", Array(line.blockedBy, Number)},
      {"notExamined", Array(line.notExamined, overlap)},
      {"moreRaisingAbove", Number(line.moreRaisingAbove)},
      {"launch", line.launch ? LaunchJson(*line.launch) : "null"},
  };
  // Only with a log file, so that a folder without one reads as it always has.
  if (runLog && line.kind == LineKind::kTask) {
    m.emplace_back("changedAt", line.changedAt.empty() ? "null" : JsonString(line.changedAt));
    m.emplace_back("lastRun", line.lastRun ? RecordJson(*line.lastRun) : "null");
  }
  return Object(m);
}

}  // namespace

void WriteJsonReport(std::ostream& out, const FolderCheck& check) {
  const FolderCheck::Summary& sum = check.summary;
  const Members summary = {{"lines", Number(static_cast<int>(check.lines.size()))},
                           {"empty", Number(sum.empty)},
                           {"comments", Number(sum.comments)},
                           {"tasks", Number(sum.tasks)},
                           {"launching", Number(sum.launching)},
                           {"problems", Number(static_cast<int>(sum.problems.size()))}};
  Members head = {
      {"format", Number(kJsonFormat)},
      {"folder", JsonString(check.folder)},
      {"tasksFile", JsonString(check.tasksPath)},
      {"launchFile", JsonString(check.launchPath)},
      {"launchFilePresent", Bool(check.launchPresent)},
      {"tasksFileHint", OrNull(!check.tasksHint.empty(), JsonString(check.tasksHint))},
      {"launchFileHint", OrNull(!check.launchHint.empty(), JsonString(check.launchHint))},
      {"tasksFileEncodingHint",
       OrNull(!check.tasksEncoding.empty(), JsonString(check.tasksEncoding))},
      {"launchFileEncodingHint",
       OrNull(!check.launchEncoding.empty(), JsonString(check.launchEncoding))},
      {"now", JsonString(MinuteText(check.now))},
      {"utcOffset", JsonString(UtcOffsetText(check.utcOffsetMinutes).substr(3))}};
  if (check.pendulon)
    head.emplace_back("pendulon", PendulonJson(*check.pendulon));
  Members tail = {{"summary", Object(summary)}, {"exitStatus", Number(check.ExitStatus())}};
  if (check.runLog)
    tail.insert(tail.begin(), {"runLog", RunLogJson(*check.runLog)});
  // The lines, one to a row, go straight out: many lines make a report of many megabytes.
  const std::string start = Object(head, ",\n");
  out << start.substr(0, start.size() - 1) << ",\n" << JsonString("lines") << ":[";
  ScheduleTexts schedules;
  for (std::size_t i = 0; i < check.lines.size(); ++i)
    out << (i == 0 ? "\n" : ",\n")
        << LineJson(check.lines[i], check.runLog && check.runLog->AnyLogFile(), schedules);
  out << "\n]";
  for (const auto& [name, json] : tail) out << ",\n" << JsonString(name) << ":" << json;
  out << "}\n";
}

void WriteJsonFailure(std::ostream& out, const AnsiString& folder, const std::string& message,
                      const std::string& hint) {
  out << Object({{"format", Number(kJsonFormat)},
                 {"folder", JsonString(folder)},
                 {"error", JsonString(message)},
                 {"hint", OrNull(!hint.empty(), JsonString(hint))},
                 {"exitStatus", "2"}})
      << "\n";
}

}  // namespace pendulon
