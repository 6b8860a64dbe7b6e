#include "checker/report/JsonText.h"

#include <cstdio>

#include "checker/folder/FieldDiagnosis.h"

namespace pendulon {

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

std::string Object(const Members& members, const char* between) {
  std::string text;
  for (const auto& [name, json] : members)
    text += (text.empty() ? "{" : between) + JsonString(name) + ":" + json;
  return text.empty() ? "{}" : text + "}";
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
  if (e.Requested() && e.problem != LaunchProblem::kNone)
    m.emplace_back("words", JsonString(e.words));
  const int lines[] = {e.openLine, e.closeLine, e.menuItemLine, e.pathLine};
  const char* const names[] = {"openLine", "closeLine", "menuItemLine", "pathLine"};
  for (int i = 0; i < 4; ++i) m.emplace_back(names[i], OrNull(lines[i] > 0, Number(lines[i])));
  return Object(m);
}

}  // namespace pendulon
