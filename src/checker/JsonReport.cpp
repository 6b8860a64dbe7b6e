#include "checker/JsonReport.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

namespace pendulon {
namespace {

// Format of the document; raised when a field changes meaning or goes away.
constexpr int kJsonFormat = 1;

std::string JsonString(std::string_view bytes) {
  std::string text = "\"";
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    char shown[8] = {c, '\0'};
    if (const std::size_t k = std::string_view("\"\\\n\r\t").find(c); k != std::string_view::npos)
      std::snprintf(shown, sizeof shown, "\\%c", "\"\\nrt"[k]);
    else if (byte < 0x20 || byte >= 0x7F)
      std::snprintf(shown, sizeof shown, "\\u%04x", byte);
    text += shown;
  }
  return text + "\"";
}

std::string Number(int value) {
  return std::to_string(value);
}

std::string Bool(bool value) {
  return value ? "true" : "false";
}

using Members = std::vector<std::pair<const char*, std::string>>;  // names and JSON values

std::string Object(const Members& members, const char* between = ",") {
  std::string text;
  for (const auto& [name, json] : members)
    text += (text.empty() ? "{" : between) + JsonString(name) + ":" + json;
  return text.empty() ? "{}" : text + "}";
}

template <typename Items, typename ToJson>
std::string Array(const Items& items, ToJson toJson) {
  std::string text;
  for (const auto& item : items) text += (text.empty() ? "" : ",") + toJson(item);
  return "[" + text + "]";
}

std::string OrNull(bool present, const std::string& json) {
  return present ? json : "null";
}

std::string ScheduleJson(const Schedule& s) {
  Members m;
  for (int f = 0; f < Schedule::kFields; ++f)
    m.emplace_back(FieldName(f), OrNull(s.Fixed(f), Number(s[f])));
  m.emplace_back("words", JsonString(DescribeSchedule(s)));
  return Object(m);
}

std::string LaunchJson(const LaunchExplanation& e) {
  const ShellRequest& r = e.request;
  Members m = e.Requested() ? Members{{"problem", OrNull(e.problem != LaunchProblem::kNone,
                                                         JsonString(LaunchProblemCode(e.problem)))},
                                      {"verb", JsonString(r.verb)},
                                      {"verbIsDefault", Bool(e.verbIsDefault)},
                                      {"file", JsonString(r.file)},
                                      {"parameters", JsonString(r.parameters)},
                                      {"directory", JsonString(r.directory)},
                                      {"directoryIsDefault", Bool(e.directoryIsDefault)},
                                      {"showCommand", Number(r.showCommand)}}
                            : Members{{"problem", JsonString(LaunchProblemCode(e.problem))},
                                      {"words", JsonString(e.words)},
                                      {"hint", OrNull(!e.hint.empty(), JsonString(e.hint))}};
  if (e.problem == LaunchProblem::kFileNotFound)
    m.emplace_back("words", JsonString(e.words));
  const int lines[] = {e.openLine, e.closeLine, e.menuItemLine, e.pathLine};
  const char* const names[] = {"openLine", "closeLine", "menuItemLine", "pathLine"};
  for (int i = 0; i < 4; ++i) m.emplace_back(names[i], OrNull(lines[i] > 0, Number(lines[i])));
  return Object(m);
}

std::string RecordJson(const RunLogRecord& r) {
  Members m = {{"time", JsonString(r.time)}, {"event", JsonString(EventName(r.event))}};
  if (r.event == LogEvent::kLaunch || r.event == LogEvent::kNoLaunch) {
    m.emplace_back("minute", JsonString(r.minute));
    m.emplace_back("line", Number(r.line));
    m.emplace_back("item", JsonString(r.item));
  }
  if (r.event == LogEvent::kLaunch) {
    m.emplace_back("file", JsonString(r.file));
    m.emplace_back("answer", std::to_string(r.answer));
    m.emplace_back("meaning", JsonString(r.meaning));
  } else if (r.event == LogEvent::kLoadFailed) {
    m.emplace_back("load", JsonString(r.loadKind));
    m.emplace_back("path", JsonString(r.path));
  }
  if (r.event != LogEvent::kLaunch)
    m.emplace_back(r.event == LogEvent::kNoLaunch ? "reason" : "text", JsonString(r.text));
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
                 {"recentFailures", Array(log.failures, RecordJson)}});
}

std::string LineJson(const LineReport& line, bool runLog) {
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
  const auto overlap = [](const Overlap& o) {
    return Object({{"line", Number(o.line)}, {"schedule", ScheduleJson(o.when)}});
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
      {"next", Array(line.next, [](const LocalMinute& m) { return JsonString(IsoText(m)); })},
      {"blockedBy", Array(line.blockedBy, Number)},
      {"notExamined", Array(line.notExamined, overlap)},
      {"launch", line.launch ? LaunchJson(*line.launch) : "null"},
  };
  // Only with a log file, so that a folder without one reads as it always has.
  if (runLog && line.kind == LineKind::kTask)
    m.emplace_back("lastRun", line.lastRun ? RecordJson(*line.lastRun) : "null");
  return Object(m);
}

}  // namespace

void WriteJsonReport(std::ostream& out, const FolderCheck& check) {
  const FolderCheck::Summary& sum = check.summary;
  std::string lines;  // one to a row
  for (const LineReport& line : check.lines)
    lines +=
        (lines.empty() ? "\n" : ",\n") + LineJson(line, check.runLog && check.runLog->AnyLogFile());
  const Members summary = {{"lines", Number(static_cast<int>(check.lines.size()))},
                           {"empty", Number(sum.empty)},
                           {"comments", Number(sum.comments)},
                           {"tasks", Number(sum.tasks)},
                           {"launching", Number(sum.launching)},
                           {"problems", Number(static_cast<int>(sum.problems.size()))}};
  Members document = {{"format", Number(kJsonFormat)},
                      {"folder", JsonString(check.folder)},
                      {"tasksFile", JsonString(check.tasksPath)},
                      {"launchFile", JsonString(check.launchPath)},
                      {"launchFilePresent", Bool(check.launchPresent)},
                      {"now", JsonString(IsoText(check.now))},
                      {"lines", "[" + lines + "\n]"},
                      {"summary", Object(summary)},
                      {"exitStatus", Number(check.ExitStatus())}};
  if (check.runLog)
    document.insert(document.end() - 2, {"runLog", RunLogJson(*check.runLog)});
  out << Object(document, ",\n") << "\n";
}

void WriteJsonFailure(std::ostream& out, const AnsiString& folder, const std::string& message) {
  out << Object({{"format", Number(kJsonFormat)},
                 {"folder", JsonString(folder)},
                 {"error", JsonString(message)},
                 {"exitStatus", "2"}})
      << "\n";
}

}  // namespace pendulon
