#include "checker/FieldDiagnosis.h"

#include "checker/Calendar.h"
#include "checker/Schedule.h"
#include "platform/Clock.h"

namespace pendulon {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool AllDigits(std::string_view text) {
  for (const char c : text) {
    if (c < '0' || c > '9')
      return false;
  }
  return !text.empty();
}

// "minutes run from 0 to 59"
std::string RangeWords(int field) {
  static const char* const kPlural[] = {"minutes", "hours", "days", "months", "weekdays"};
  const FieldRange range = RangeOf(field);
  std::string words = std::string(kPlural[field]) + " run from " + std::to_string(range.low) +
                      " to " + std::to_string(range.high);
  if (field == TaskFields::kWeekday)
    words += " (1 Sunday ... 7 Saturday)";
  return words;
}

}  // namespace

FieldDiagnosis DiagnoseField(int field, std::string_view text) {
  FieldDiagnosis d;
  if (text == "*")
    return d;
  // The matcher compares with the clock's own decimal text; so does this.
  const FieldRange range = RangeOf(field);
  for (int v = range.low; v <= range.high; ++v) {
    if (text == DecimalText(v)) {
      d.value = v;
      return d;
    }
  }
  using P = FieldProblem;
  if (text.empty())
    d.problem = P::kEmpty;
  else if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark)
    d.problem = P::kByteOrderMark;
  else if (text.find('\t') != std::string_view::npos)
    d.problem = P::kTab;
  else if (text.find(',') != std::string_view::npos)
    d.problem = P::kList;
  else if (text.find('/') != std::string_view::npos)
    d.problem = P::kStep;
  else if (text[0] == '+' || text[0] == '-')
    d.problem = P::kSign;
  else if (text.find('-') != std::string_view::npos)
    d.problem = P::kRange;
  else if (AllDigits(text))
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
  switch (problem) {
    case FieldProblem::kNone:
      return "none";
    case FieldProblem::kEmpty:
      return "empty";
    case FieldProblem::kByteOrderMark:
      return "byte-order-mark";
    case FieldProblem::kTab:
      return "tab";
    case FieldProblem::kList:
      return "list";
    case FieldProblem::kRange:
      return "range";
    case FieldProblem::kStep:
      return "step";
    case FieldProblem::kSign:
      return "sign";
    case FieldProblem::kLeadingZero:
      return "leading-zero";
    case FieldProblem::kOutOfRange:
      return "out-of-range";
    case FieldProblem::kNotANumber:
      return "not-a-number";
    case FieldProblem::kImpossibleDate:
      return "impossible-date";
  }
  return "none";
}

std::string ProblemWords(int field, FieldProblem problem, std::string_view text, int month) {
  switch (problem) {
    case FieldProblem::kNone:
      return "matches";
    case FieldProblem::kEmpty:
      return "is empty: two spaces in a row, or a space at the start of the line";
    case FieldProblem::kByteOrderMark:
      return "begins with a byte-order mark: save the file without one (ANSI, not UTF-8 "
             "with BOM)";
    case FieldProblem::kTab:
      return "holds a tab: fields are separated by single spaces only";
    case FieldProblem::kList:
      return "is a list: lists are not understood, write one line per value";
    case FieldProblem::kRange:
      return "is a range: ranges are not understood, write one line per value";
    case FieldProblem::kStep:
      return "is a step: steps are not understood, write one line per value";
    case FieldProblem::kSign:
      return "has a sign: write the plain number";
    case FieldProblem::kLeadingZero: {
      const std::size_t digit = text.find_first_not_of('0');
      const std::string_view plain = digit == std::string_view::npos ? "0" : text.substr(digit);
      return "has a leading zero: the clock shows " + std::string(plain) + ", without zeros";
    }
    case FieldProblem::kOutOfRange:
      return "is out of range: " + RangeWords(field);
    case FieldProblem::kNotANumber:
      return "is not a number or *: " + RangeWords(field);
    case FieldProblem::kImpossibleDate:
      return "never occurs in " + std::string(MonthName(month)) + ", which has at most " +
             std::to_string(MostDaysIn(month)) + " days";
  }
  return std::string();
}

}  // namespace pendulon
