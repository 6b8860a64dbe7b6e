#include "checker/JsonReport.h"

#include <cstdio>

#include "checker/ReportWords.h"
#include "checker/ScheduleWords.h"
#include "platform/Exceptions.h"

namespace pendulon {
namespace {

std::string Number(int value) {
  return std::to_string(value);
}

std::string Bool(bool value) {
  return value ? "true" : "false";
}

// Builds one object, members in the order they are added.
class Object {
 public:
  Object& Add(const char* name, const std::string& json) {
    text_ += (text_.empty() ? "{" : ",") + JsonString(name) + ":" + json;
    return *this;
  }
  std::string Done() const { return text_.empty() ? "{}" : text_ + "}"; }

 private:
  std::string text_;
};

template <typename Items, typename ToJson>
std::string Array(const Items& items, ToJson toJson) {
  std::string text = "[";
  for (const auto& item : items) text += (text.size() > 1 ? "," : "") + toJson(item);
  return text + "]";
}

std::string ScheduleJson(const Schedule& s) {
  Object o;
  for (int f = 0; f < Schedule::kFields; ++f)
    o.Add(FieldName(f), s.Fixed(f) ? Number(s[f]) : "null");
  return o.Add("words", JsonString(DescribeSchedule(s))).Done();
}

std::string LaunchJson(const LaunchExplanation& e) {
  Object o;
  o.Add("problem",
        e.problem == LaunchProblem::kNone ? "null" : JsonString(LaunchProblemCode(e.problem)));
  if (e.problem == LaunchProblem::kNone) {
    o.Add("verb", JsonString(e.request.verb))
        .Add("verbIsDefault", Bool(e.verbIsDefault))
        .Add("file", JsonString(e.request.file))
        .Add("parameters", JsonString(e.request.parameters))
        .Add("directory", JsonString(e.request.directory))
        .Add("directoryIsDefault", Bool(e.directoryIsDefault))
        .Add("showCommand", Number(e.request.showCommand));
  } else {
    o.Add("words", JsonString(LaunchProblemWords(e)))
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
  const bool task = line.kind == LineKind::kTask;
  const bool timed = task && line.verdict != Verdict::kNever;
  const bool showsTimes = line.verdict == Verdict::kRaises || line.verdict == Verdict::kLaunches ||
                          line.verdict == Verdict::kLaunchesNothing;
  Object o;
  o.Add("line", Number(line.number))
      .Add("kind", JsonString(KindCode(line.kind)))
      .Add("text", JsonString(line.text))
      .Add("fields", Array(line.fields, [](const AnsiString& f) { return JsonString(f); }))
      .Add("item", line.Item() ? JsonString(*line.Item()) : "null")
      .Add("verdict", JsonString(VerdictCode(line.verdict)))
      .Add("problem", Bool(IsProblem(line.verdict)))
      .Add("reason", JsonString(VerdictWords(line)));
  std::string failure = "null";
  if (line.verdict == Verdict::kNever) {
    failure = Object()
                  .Add("field", Number(line.field))
                  .Add("fieldName", JsonString(FieldName(line.field)))
                  .Add("text", JsonString(line.fields[static_cast<std::size_t>(line.field)]))
                  .Add("code", JsonString(ProblemCode(line.problem)))
                  .Add("words", JsonString(line.problemWords))
                  .Done();
  }
  o.Add("failure", failure);
  o.Add("error", line.raises < 0
                     ? "null"
                     : Object()
                           .Add("index", Number(line.raises))
                           .Add("message", JsonString(EStringListError(line.raises).Message()))
                           .Add("words", JsonString(RaiseWords(line)))
                           .Done());
  o.Add("schedule", timed ? ScheduleJson(line.when) : "null");
  o.Add("next", showsTimes
                    ? Array(line.next, [](const LocalMinute& m) { return JsonString(IsoText(m)); })
                    : "[]");
  o.Add("blockedBy", Array(line.blockedBy, [](int n) { return Number(n); }));
  o.Add("notExamined", Array(line.notExamined, [](const Overlap& overlap) {
          return Object()
              .Add("line", Number(overlap.line))
              .Add("schedule", ScheduleJson(overlap.when))
              .Done();
        }));
  o.Add("launch", line.launch ? LaunchJson(*line.launch) : "null");
  return o.Done();
}

}  // namespace

std::string JsonString(std::string_view bytes) {
  std::string text = "\"";
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    switch (byte) {
      case '"':
        text += "\\\"";
        break;
      case '\\':
        text += "\\\\";
        break;
      case '\n':
        text += "\\n";
        break;
      case '\r':
        text += "\\r";
        break;
      case '\t':
        text += "\\t";
        break;
      default:
        if (byte < 0x20 || byte >= 0x7F) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
          text += escaped;
        } else {
          text += c;
        }
    }
  }
  return text + "\"";
}

void WriteJsonReport(std::ostream& out, const FolderCheck& check) {
  int empty = 0, comments = 0, launching = 0, problems = 0;
  for (const LineReport& line : check.lines) {
    empty += line.kind == LineKind::kEmpty ? 1 : 0;
    comments += line.kind == LineKind::kComment ? 1 : 0;
    launching += line.verdict == Verdict::kLaunches ? 1 : 0;
    problems += IsProblem(line.verdict) ? 1 : 0;
  }
  const int total = static_cast<int>(check.lines.size());
  out << "{" << JsonString("format") << ":" << kJsonFormat << ",\n"
      << JsonString("folder") << ":" << JsonString(check.folder) << ",\n"
      << JsonString("tasksFile") << ":" << JsonString(check.tasksPath) << ",\n"
      << JsonString("launchFile") << ":" << JsonString(check.launchPath) << ",\n"
      << JsonString("launchFilePresent") << ":" << Bool(check.launchPresent) << ",\n"
      << JsonString("now") << ":" << JsonString(IsoText(check.now)) << ",\n"
      << JsonString("lines") << ":[";
  for (std::size_t i = 0; i < check.lines.size(); ++i)
    out << (i > 0 ? ",\n" : "\n") << LineJson(check.lines[i]);
  out << "\n],\n"
      << JsonString("summary") << ":"
      << Object()
             .Add("lines", Number(total))
             .Add("empty", Number(empty))
             .Add("comments", Number(comments))
             .Add("tasks", Number(total - empty - comments))
             .Add("launching", Number(launching))
             .Add("problems", Number(problems))
             .Done()
      << ",\n"
      << JsonString("exitStatus") << ":" << check.ExitStatus() << "}\n";
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
