// What a user types and the words qefcheck answers with: lines of a field too many or too few,
// a weekday 7, and a note copied after the item, each checked alone in a folder whose launch
// file has the section Marker.

#include <string>

#include "checker/CheckerFixture.h"

namespace pendulon::sim {
namespace {

TEST_F(CheckerTest, TheShapeOfALineIsNamedWhereItsFieldsMislead) {
  const struct Case {
    const char* line;
    const char* reason;  // words the line's verdict holds
    const char* hint;    // words of the launch's hint; "" for none
  } cases[] = {
      {"0 30 8 * * * Marker",
       "hour \"30\" is out of range: hours run from 0 to 23; the line has 6 time fields before its "
       "item; Pendulon reads 5 (minute hour day month weekday), so the sixth is taken as the "
       "start of the item",
       ""},
      {"0 8 * * * * Marker",
       "launches nothing: the launch file has no section for the item; the line has 6 time "
       "fields before its item",
       "did you mean Marker?"},
      {"30 8 * * Marker", "this line has 4 of the 5 time fields: Pendulon shows the error box", ""},
      {"30 8 * * Marker", "the line has 4 time fields before its item \"Marker\"; Pendulon needs 5",
       ""},
      {"* * * * 1 2 3 Marker", "the line has 7 time fields before its item", ""},
      {"5 * * * *", "this line has no item name", ""},
      {"0 9 * * 7 Marker", "fires at 9:00 on Saturdays (7 is Saturday here; Sunday is 1)", ""},
      {"30 8 * * * Marker           every day at 8:30", "the launch file has no section",
       "did you mean Marker? The item is everything after the fifth space, so what follows the "
       "name in this line is part of it: put a note on a # line of its own"},
  };
  for (const Case& c : cases) {
    const FolderCheck check =
        Check(std::string(c.line) + "\r\n", "<Marker>\r\npath=C:\\Tools\\m.exe\r\n</Marker>\r\n");
    const LineReport& line = check.lines.at(0);
    EXPECT_NE(line.reason.find(c.reason), std::string::npos)
        << c.line << "\n  said:     " << line.reason << "\n  expected: " << c.reason;
    const std::string hint = line.launch ? line.launch->hint : std::string();
    if (*c.hint == '\0')
      EXPECT_EQ(hint, "") << c.line;
    else
      EXPECT_NE(hint.find(c.hint), std::string::npos) << c.line << "\n  hint: " << hint;
  }
  // A line as written means no hint.
  const FolderCheck plain =
      Check("30 8 * * 2 Marker\r\n", "<Marker>\r\npath=C:\\m.exe\r\n</Marker>\r\n");
  EXPECT_EQ(plain.lines.at(0).reason, "fires at 8:30 on Mondays");
}

}  // namespace
}  // namespace pendulon::sim
