#include "checker/folder/FieldDiagnosis.h"

#include "checker/search/Schedule.h"
#include "checker/text/AsciiLower.h"
#include "checker/text/ByteOrderMark.h"
#include "checker/text/CalendarWords.h"
#include "scheduler/TaskLine.h"

namespace pendulon {
namespace {

using P = FieldProblem;

// By FieldProblem: its code, and its words or their start when more words follow.
const struct {
  const char* code;
  const char* words;
} kProblems[] = {
    {"none", "matches"},
    {"empty", "is empty: two spaces in a row, or a space at the start of the line"},
    {"byte-order-mark",
     "begins with a byte-order mark: save the file without one (ANSI, not UTF-8 with BOM)"},
    {"tab", "holds a tab: fields are separated by single spaces only"},
    {"list", "is a list: lists are not understood, write one line per value"},
    {"range", "is a range: ranges are not understood, write one line per value"},
    {"step", "is a step: steps are not understood, write one line per value"},
    {"sign", "has a sign: write the plain number"},
    {"leading-zero", "has a leading zero: the clock shows "},
    {"out-of-range", "is out of range: "},
    {"not-a-number", "is not a number or *: "},
    {"impossible-date", "never occurs in "},
};

// For a weekday written as another scheduler counts (0 for Sunday) or as a name: the number
// the executer wants instead, as the rest of the sentence; empty when no day is meant clearly.
std::string WeekdayFix(std::string_view text) {
  int day = text == "0" ? 1 : 0;
  const std::string lower = AsciiLower(text);
  for (int d = 1; d <= 7 && day == 0 && text.size() >= 3; ++d)
    day = AsciiLower(WeekdayName(d)).compare(0, lower.size(), lower) == 0 ? d : 0;
  if (day == 0)
    return {};
  return ": write " + std::to_string(day) + " for " + WeekdayName(day);
}

}  // namespace

FieldDiagnosis DiagnoseField(int field, std::string_view text) {
  FieldDiagnosis d;
  // The matcher's own rule decides: a field that matches every value is free, one that matches
  // a single value fixes it.
  const FieldRange range = RangeOf(field);
  int matching = 0;
  for (int v = range.low; v <= range.high; ++v) {
    if (FieldMatches(text, v)) {
      ++matching;
      d.value = v;
    }
  }
  if (matching == range.high - range.low + 1)
    d.value = -1;
  if (matching > 0)
    return d;
  const auto holds = [&](char c) { return text.find(c) != std::string_view::npos; };
  if (text.empty())
    d.problem = P::kEmpty;
  else if (BeginsWithByteOrderMark(text))
    d.problem = P::kByteOrderMark;
  else if (holds('\t'))
    d.problem = P::kTab;
  else if (holds(','))
    d.problem = P::kList;
  else if (holds('/'))
    d.problem = P::kStep;
  else if (text[0] == '+' || text[0] == '-')
    d.problem = P::kSign;
  else if (holds('-'))
    d.problem = P::kRange;
  else if (text.find_first_not_of("0123456789") == std::string_view::npos)
    d.problem = text.size() > 1 && text[0] == '0' ? P::kLeadingZero : P::kOutOfRange;
  else
    d.problem = P::kNotANumber;
  return d;
}

const char* FieldName(int field) {
  static const char* const kNames[] = {"minute", "hour", "day", "month", "weekday", "item"};
  return kNames[field];
}

const char* ProblemCode(FieldProblem problem) {
  return kProblems[static_cast<int>(problem)].code;
}

std::string ProblemWords(int field, FieldProblem problem, std::string_view text, int month) {
  const std::string words = kProblems[static_cast<int>(problem)].words;
  switch (problem) {
    case P::kLeadingZero: {
      const std::size_t digit = text.find_first_not_of('0');
      const std::string_view plain = digit == std::string_view::npos ? "0" : text.substr(digit);
      return words + std::string(plain) + ", without zeros";
    }
    case P::kOutOfRange:
    case P::kNotANumber:
      return words + FieldName(field) + "s run from " + std::to_string(RangeOf(field).low) +
             " to " + std::to_string(RangeOf(field).high) +
             (field == TaskFields::kWeekday ? " (1 Sunday ... 7 Saturday)" + WeekdayFix(text) : "");
    case P::kImpossibleDate:
      return words + MonthName(month) + ", which has at most " + std::to_string(MostDaysIn(month)) +
             " days";
    default:
      return words;
  }
}

}  // namespace pendulon
