#include "checker/JsonReport.h"

#include <cstdio>

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
  Members m = e.problem == LaunchProblem::kNone
                  ? Members{{"problem", "null"},
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
  const int lines[] = {e.openLine, e.closeLine, e.menuItemLine, e.pathLine};
  const char* const names[] = {"openLine", "closeLine", "menuItemLine", "pathLine"};
  for (int i = 0; i < 4; ++i) m.emplace_back(names[i], OrNull(lines[i] > 0, Number(lines[i])));
  return Object(m);
}

std::string LineJson(const LineReport& line) {
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
  return Object({
      {"line", Number(line.number)},
      {"kind", JsonString(KindCode(line.kind))},
      {"text", JsonString(line.text)},
      {"fields", Array(line.fields, JsonString)},
      {"item", line.Item() ? JsonString(*line.Item()) : "null"},
      {"verdict", JsonString(VerdictCode(line.verdict))},
      {"problem", Bool(IsProblem(line.verdict))},
      {"reason", JsonString(line.reason)},
      {"failure", line.failure ? failure(*line.failure) : "null"},
      {"error", line.error ? error(*line.error) : "null"},
      {"schedule", line.schedule ? ScheduleJson(*line.schedule) : "null"},
      {"next", Array(line.next, [](const LocalMinute& m) { return JsonString(IsoText(m)); })},
      {"blockedBy", Array(line.blockedBy, Number)},
      {"notExamined", Array(line.notExamined, overlap)},
      {"launch", line.launch ? LaunchJson(*line.launch) : "null"},
  });
}

}  // namespace

void WriteJsonReport(std::ostream& out, const FolderCheck& check) {
  const FolderCheck::Summary& sum = check.summary;
  std::string lines;  // one to a row
  for (const LineReport& line : check.lines)
    lines += (lines.empty() ? "\n" : ",\n") + LineJson(line);
  const Members summary = {{"lines", Number(static_cast<int>(check.lines.size()))},
                           {"empty", Number(sum.empty)},
                           {"comments", Number(sum.comments)},
                           {"tasks", Number(sum.tasks)},
                           {"launching", Number(sum.launching)},
                           {"problems", Number(static_cast<int>(sum.problems.size()))}};
  out << Object({{"format", Number(kJsonFormat)},
                 {"folder", JsonString(check.folder)},
                 {"tasksFile", JsonString(check.tasksPath)},
                 {"launchFile", JsonString(check.launchPath)},
                 {"launchFilePresent", Bool(check.launchPresent)},
                 {"now", JsonString(IsoText(check.now))},
                 {"lines", "[" + lines + "\n]"},
                 {"summary", Object(summary)},
                 {"exitStatus", Number(check.ExitStatus())}},
                ",\n")
      << "\n";
}

void WriteJsonFailure(std::ostream& out, const AnsiString& folder, const std::string& message) {
  out << Object({{"format", Number(kJsonFormat)},
                 {"folder", JsonString(folder)},
                 {"error", JsonString(message)},
                 {"exitStatus", "2"}})
      << "\n";
}

}  // namespace pendulon
