#include "checker/ReportWords.h"

#include <cstdio>

#include "checker/ScheduleWords.h"
#include "platform/Exceptions.h"

namespace pendulon {
namespace {

std::string LineList(const std::vector<int>& lines) {
  std::string text = lines.size() == 1 ? "line " : "lines ";
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0)
      text += i + 1 == lines.size() ? " and " : ", ";
    text += std::to_string(lines[i]);
  }
  return text;
}

}  // namespace

std::string Visible(std::string_view bytes) {
  std::string text;
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte == '\t') {
      text += "\\t";
    } else if (byte < 0x20 || byte >= 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
      text += escaped;
    } else {
      text += c;
    }
  }
  return text;
}

std::string RaiseWords(const LineReport& line) {
  const int count = static_cast<int>(line.fields.size());
  std::string words = "the line splits into " + std::to_string(count) +
                      (count == 1 ? " field" : " fields") + " and the walk asks for the " +
                      FieldName(line.raises) + " (index " + std::to_string(line.raises) + ")";
  // The split drops what follows the last space; say so when that is what went missing.
  const std::size_t space = line.text.rfind(' ');
  const std::string_view rest = space == AnsiString::npos
                                    ? std::string_view(line.text)
                                    : std::string_view(line.text).substr(space + 1);
  if (count < 6 && !rest.empty())
    words += "; the text after the last space, \"" + Visible(rest) + "\", is dropped";
  return words;
}

std::string OverlapWords(const Overlap& overlap) {
  return DescribeSchedule(overlap.when) + ", when line " + std::to_string(overlap.line) +
         " raises first";
}

std::string VerdictWords(const LineReport& line) {
  const std::string when = DescribeSchedule(line.when);
  switch (line.verdict) {
    case Verdict::kSkipped:
      return line.kind == LineKind::kEmpty ? "skipped: empty line" : "skipped: comment";
    case Verdict::kNever:
      return "never matches: " + std::string(FieldName(line.field)) + " \"" +
             Visible(line.fields[static_cast<std::size_t>(line.field)]) + "\" " + line.problemWords;
    case Verdict::kRaises:
      return "raises \"" + EStringListError(line.raises).Message() + "\" " + when +
             ", and the lines below are not examined then: " + RaiseWords(line);
    case Verdict::kUnreached:
      return "never examined: " + LineList(line.blockedBy) +
             (line.blockedBy.size() == 1 ? " raises" : " raise") +
             " first in every minute this line would act in (" + when + ")";
    case Verdict::kLaunchesNothing:
      return "fires " + when + " but launches nothing: " + LaunchProblemWords(*line.launch);
    case Verdict::kLaunches:
      return "fires " + when;
  }
  return std::string();
}

}  // namespace pendulon
