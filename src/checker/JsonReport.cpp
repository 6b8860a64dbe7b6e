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

// Builds one object, members in the order they are added.
class Object {
 public:
  explicit Object(const char* between = ",") : between_(between) {}
  Object& Add(const char* name, const std::string& json) {
    text_ += (text_.empty() ? "{" : between_) + JsonString(name) + ":" + json;
    return *this;
  }
  std::string Done() const { return text_.empty() ? "{}" : text_ + "}"; }

 private:
  const char* between_;
  std::string text_;
};

template <typename Items, typename ToJson>
std::string Array(const Items& items, ToJson toJson) {
  std::string text;
  for (const auto& item : items) text += (text.empty() ? "" : ",") + toJson(item);
  return "[" + text + "]";
}

std::string ScheduleJson(const Schedule& s) {
  Object o;
  for (int f = 0; f < Schedule::kFields; ++f)
    o.Add(FieldName(f), s.Fixed(f) ? Number(s[f]) : "null");
  return o.Add("words", JsonString(DescribeSchedule(s))).Done();
}

std::string LaunchJson(const LaunchExplanation& e) {
  Object o;
  if (e.problem == LaunchProblem::kNone) {
    o.Add("problem", "null")
        .Add("verb", JsonString(e.request.verb))
        .Add("verbIsDefault", Bool(e.verbIsDefault))
        .Add("file", JsonString(e.request.file))
        .Add("parameters", JsonString(e.request.parameters))
        .Add("directory", JsonString(e.request.directory))
        .Add("directoryIsDefault", Bool(e.directoryIsDefault))
        .Add("showCommand", Number(e.request.showCommand));
  } else {
    o.Add("problem", JsonString(LaunchProblemCode(e.problem)))
        .Add("words", JsonString(e.words))
        .Add("hint", e.hint.empty() ? "null" : JsonString(e.hint));
  }
  const auto lineOrNull = [](int n) { return n > 0 ? Number(n) : "null"; };
  return o.Add("openLine", lineOrNull(e.openLine))
      .Add("closeLine", lineOrNull(e.closeLine))
      .Add("menuItemLine", lineOrNull(e.menuItemLine))
      .Add("pathLine", lineOrNull(e.pathLine))
      .Done();
}

std::string LineJson(const LineReport& line) {
  const auto failure = [&](const LineReport::Failure& f) {
    return Object()
        .Add("field", Number(f.field))
        .Add("fieldName", JsonString(FieldName(f.field)))
        .Add("text", JsonString(line.fields[static_cast<std::size_t>(f.field)]))
        .Add("code", JsonString(ProblemCode(f.problem)))
        .Add("words", JsonString(f.words))
        .Done();
  };
  const auto error = [](const LineReport::Raised& e) {
    return Object()
        .Add("index", Number(e.index))
        .Add("message", JsonString(e.message))
        .Add("words", JsonString(e.words))
        .Done();
  };
  return Object()
      .Add("line", Number(line.number))
      .Add("kind", JsonString(KindCode(line.kind)))
      .Add("text", JsonString(line.text))
      .Add("fields", Array(line.fields, [](const AnsiString& f) { return JsonString(f); }))
      .Add("item", line.Item() ? JsonString(*line.Item()) : "null")
      .Add("verdict", JsonString(VerdictCode(line.verdict)))
      .Add("problem", Bool(IsProblem(line.verdict)))
      .Add("reason", JsonString(line.reason))
      .Add("failure", line.failure ? failure(*line.failure) : "null")
      .Add("error", line.error ? error(*line.error) : "null")
      .Add("schedule", line.schedule ? ScheduleJson(*line.schedule) : "null")
      .Add("next", Array(line.next, [](const LocalMinute& m) { return JsonString(IsoText(m)); }))
      .Add("blockedBy", Array(line.blockedBy, [](int n) { return Number(n); }))
      .Add("notExamined", Array(line.notExamined,
                                [](const Overlap& overlap) {
                                  return Object()
                                      .Add("line", Number(overlap.line))
                                      .Add("schedule", ScheduleJson(overlap.when))
                                      .Done();
                                }))
      .Add("launch", line.launch ? LaunchJson(*line.launch) : "null")
      .Done();
}

}  // namespace

void WriteJsonReport(std::ostream& out, const FolderCheck& check) {
  const FolderCheck::Summary& sum = check.summary;
  std::string lines;  // one to a row
  for (const LineReport& line : check.lines)
    lines += (lines.empty() ? "\n" : ",\n") + LineJson(line);
  out << Object(",\n")
             .Add("format", Number(kJsonFormat))
             .Add("folder", JsonString(check.folder))
             .Add("tasksFile", JsonString(check.tasksPath))
             .Add("launchFile", JsonString(check.launchPath))
             .Add("launchFilePresent", Bool(check.launchPresent))
             .Add("now", JsonString(IsoText(check.now)))
             .Add("lines", "[" + lines + "\n]")
             .Add("summary", Object()
                                 .Add("lines", Number(static_cast<int>(check.lines.size())))
                                 .Add("empty", Number(sum.empty))
                                 .Add("comments", Number(sum.comments))
                                 .Add("tasks", Number(sum.tasks))
                                 .Add("launching", Number(sum.launching))
                                 .Add("problems", Number(static_cast<int>(sum.problems.size())))
                                 .Done())
             .Add("exitStatus", Number(check.ExitStatus()))
             .Done()
      << "\n";
}

void WriteJsonFailure(std::ostream& out, const AnsiString& folder, const std::string& message) {
  out << Object()
             .Add("format", Number(kJsonFormat))
             .Add("folder", JsonString(folder))
             .Add("error", JsonString(message))
             .Add("exitStatus", "2")
             .Done()
      << "\n";
}

}  // namespace pendulon
