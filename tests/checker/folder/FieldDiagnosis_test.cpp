#include "checker/folder/FieldDiagnosis.h"

#include <memory>
#include <string>

#include "checker/search/Schedule.h"
#include "platform/StringList.h"
#include "scheduler/MinuteMatcher.h"
#include "support/SimFixture.h"

namespace pendulon::sim {
namespace {

struct Case {
  int field;
  const char* text;
  int value;            // -1 for "*" or a problem
  const char* problem;  // ProblemCode
};

const Case kCases[] = {
    {0, "*", -1, "none"},
    {0, "0", 0, "none"},
    {0, "59", 59, "none"},
    {1, "23", 23, "none"},
    {2, "31", 31, "none"},
    {3, "12", 12, "none"},
    {4, "7", 7, "none"},
    {0, "60", -1, "out-of-range"},
    {1, "24", -1, "out-of-range"},
    {2, "0", -1, "out-of-range"},
    {3, "13", -1, "out-of-range"},
    {4, "0", -1, "out-of-range"},
    {4, "8", -1, "out-of-range"},
    {0, "99999999999999999999", -1, "out-of-range"},
    {0, "05", -1, "leading-zero"},
    {0, "00", -1, "leading-zero"},
    {2, "007", -1, "leading-zero"},
    {0, "", -1, "empty"},
    {0, "\xEF\xBB\xBF*", -1, "byte-order-mark"},
    {0,
     "\xEF\xBB\xBF"
     "5",
     -1, "byte-order-mark"},
    {0, "5\t", -1, "tab"},
    {0, "1,15", -1, "list"},
    {0, "1-5", -1, "range"},
    {0, "*/5", -1, "step"},
    {0, "0-59/5", -1, "step"},
    {0, "+5", -1, "sign"},
    {0, "-5", -1, "sign"},
    {4, "Mon", -1, "not-a-number"},
    {3, "jan", -1, "not-a-number"},
    {0, "**", -1, "not-a-number"},
    {0, "5.0", -1, "not-a-number"},
    {0, "\x85", -1, "not-a-number"},
};

TEST(FieldDiagnosis, NamesTheValueOrWhyTheClockNeverShowsIt) {
  for (const Case& c : kCases) {
    const FieldDiagnosis d = DiagnoseField(c.field, c.text);
    EXPECT_EQ(d.value, c.value) << c.field << " \"" << c.text << '"';
    EXPECT_STREQ(ProblemCode(d.problem), c.problem) << c.field << " \"" << c.text << '"';
  }
}

// A weekday counted from 0 for Sunday, as elsewhere, or written as a name gets the number to write.
TEST(FieldDiagnosis, AWeekdayWrittenAnotherWaySaysWhichNumberToWrite) {
  struct Fix {
    const char* text;
    const char* fix;  // empty: none is named
  } const fixes[] = {{"0", "write 1 for Sunday"},
                     {"Mon", "write 2 for Monday"},
                     {"SATURDAY", "write 7 for Saturday"},
                     {"Mo", ""},
                     {"Monx", ""},
                     {"8", ""}};
  for (const Fix& f : fixes) {
    const std::string words = ProblemWords(4, DiagnoseField(4, f.text).problem, f.text);
    const std::size_t at = words.find(": write ");
    EXPECT_EQ(at == std::string::npos ? "" : words.substr(at + 2), f.fix) << words;
  }
}

// The diagnosis against the executer's matcher: a field it calls a problem must never match,
// and any other must match exactly at its value.
class FieldAgreementTest : public SimTest {};

TEST_F(FieldAgreementTest, DiagnosisAgreesWithTheMatcherOverEveryClockValue) {
  for (const Case& c : kCases) {
    std::string fields[5] = {"*", "*", "*", "*", "*"};
    fields[c.field] = c.text;
    auto table = std::make_unique<TStringList>();
    table->Add(fields[0] + " " + fields[1] + " " + fields[2] + " " + fields[3] + " " + fields[4] +
               " item");
    const FieldRange range = RangeOf(c.field);
    for (int v = range.low; v <= range.high; ++v) {
      int minute = 0, hour = 0, day = 1, month = 1;
      if (c.field == 0)
        minute = v;
      if (c.field == 1)
        hour = v;
      if (c.field == 2)
        day = v;
      if (c.field == 3)
        month = v;
      if (c.field == 4)
        day = 3 + v;  // 4 January 2026 is a Sunday, weekday 1
      world.SetLocalTime(2026, month, day, hour, minute, 0, 200);
      bool ran = false;
      WalkTasks(platform, table, [&](const AnsiString&, int) { return ran = true; });
      const FieldDiagnosis d = DiagnoseField(c.field, c.text);
      const bool expected = d.problem == FieldProblem::kNone && (d.value < 0 || d.value == v);
      EXPECT_EQ(ran, expected) << c.field << " \"" << c.text << "\" at " << v;
    }
  }
}

}  // namespace
}  // namespace pendulon::sim
