#include "scheduler/MinuteMatcher.h"

#include <string>
#include <vector>

#include "platform/Exceptions.h"
#include "support/SimFixture.h"

namespace pendulon::sim {
namespace {

class MinuteMatcherTest : public SimTest {
 protected:
  // Walks the lines at the given local time; gives the launched items, then "error N" if the
  // walk ended with the list index error.
  std::vector<std::string> Walk(const std::vector<std::string>& lines) {
    table = std::make_unique<TStringList>();
    for (const std::string& line : lines) table->Add(line);
    std::vector<std::string> seen;
    try {
      WalkTasks(platform, table, [&](const AnsiString& item, int) {
        seen.push_back(item);
        return true;
      });
    } catch (const EStringListError& e) {
      seen.push_back("error " + e.Message().substr(e.Message().find('(')));
    }
    return seen;
  }

  std::unique_ptr<TStringList> table;
};

using V = std::vector<std::string>;

TEST_F(MinuteMatcherTest, EachEntryMatchesOnlyItsExactClockTexts) {
  // 2026-03-02 is a Monday, 2026-03-07 a Saturday.
  struct Case {
    int day, hour, minute;
    const char* entry;
    V result;
  } cases[] = {
      {2, 10, 5, "5 * * * * backup", {"backup"}},
      {2, 10, 6, "5 * * * * backup", {}},
      {2, 10, 5, "05 * * * * backup", {}},
      {2, 10, 5, "* * * * * backup", {"backup"}},
      {2, 8, 30, "30 8 * * 2 weekly", {"weekly"}},
      {3, 8, 30, "30 8 * * 2 weekly", {}},
      {2, 8, 30, "30 8 * * 0 weekly", {}},
      {7, 12, 0, "0 12 * * 7 sat", {"sat"}},
      {2, 12, 0, "0 12 * * 7 sat", {}},
      {2, 0, 0, "0 0 2 3 * d", {"d"}},
      {2, 0, 0, "0 00 2 3 * d", {}},
      {2, 0, 0, "0 24 2 3 * d", {}},
      {2, 10, 5, "#5 * * * * backup", {}},
      {2, 10, 5, " # * * * * backup", {}},
      {2, 10, 5, "* * * * *  backup", {" backup"}},
      {2, 10, 5, "* * * * * backup  ", {"backup  "}},
      {2, 10, 5, "*  * * * backup", {}},
      {2, 10, 5, "1-5 * * * * x", {}},
      {2, 10, 5, "*/5 * * * * x", {}},
      {2, 10, 5, "5,6 * * * * x", {}},
      {2, 10, 5, "backup", {"error (0)"}},
      {2, 10, 5, "*\t*\t*\t*\t*\tbackup", {"error (0)"}},
      {2, 10, 5, "* * *", {"error (2)"}},
      {2, 10, 5, "* * * * *", {"error (4)"}},
      {2, 10, 5, "* * * * * ", {"error (5)"}},
      {2, 10, 7, "7 * * *", {"error (3)"}},
      {2, 10, 8, "7 * * *", {}},
      {2, 10, 5, "\xEF\xBB\xBF* * * * * x", {}},
  };
  for (const Case& c : cases) {
    world.SetLocalTime(2026, 3, c.day, c.hour, c.minute, 0, 150);
    EXPECT_EQ(Walk({c.entry}), c.result)
        << '"' << c.entry << "\" at " << c.day << " " << c.hour << ":" << c.minute;
  }
}

TEST_F(MinuteMatcherTest, EntriesRunInFileOrderAndAnErrorStopsTheRest) {
  world.SetLocalTime(2026, 3, 2, 10, 5, 0, 150);
  EXPECT_EQ(Walk({"1 2 3", "* * * * * backup"}), V{"backup"});
  EXPECT_EQ(Walk({"* * * * * a", "", "* * * * * a", "* * * * * b"}), (V{"a", "a", "b"}));
  EXPECT_EQ(Walk({"* * * * * a", "oops", "* * * * * b"}), (V{"a", "error (0)"}));
}

TEST_F(MinuteMatcherTest, TheWalkSeesTheTableAsItIsBeforeEachEntry) {
  world.SetLocalTime(2026, 3, 2, 10, 5, 0, 150);
  table = std::make_unique<TStringList>();
  table->Add("* * * * * first");
  table->Add("* * * * * second");
  table->Add("* * * * * third");
  V seen;
  WalkTasks(platform, table, [&](const AnsiString& item, int) {
    seen.push_back(item);
    if (item == "first") {
      // A reload made while the launch waits: the walk goes on at entry 1 of the new table.
      TStringList reloaded;
      reloaded.Add("* * * * * new0");
      reloaded.Add("* * * * * new1");
      table->Swap(reloaded);
    } else if (item == "new1") {
      table.reset();  // the window closed meanwhile: the walk ends at its next entry
    }
    return true;
  });
  EXPECT_EQ(seen, (V{"first", "new1"}));
}

TEST_F(MinuteMatcherTest, EveryLineIsMatchedAgainstTheMinuteTheWalkServes) {
  // A launch that lasts past the minute boundary: the next entries are still matched against
  // the walk's own minute, and the runner's false ends the walk.
  world.SetLocalTime(2026, 3, 2, 10, 5, 59, 900);
  V seen;
  table = std::make_unique<TStringList>();
  table->Add("5 * * * * a");
  table->Add("5 * * * * b");
  table->Add("6 * * * * c");
  table->Add("5 * * * * d");
  WalkTasks(platform, table, [&](const AnsiString& item, int) {
    seen.push_back(item);
    world.AdvanceBy(200);
    return item != "b";
  });
  EXPECT_EQ(seen, (V{"a", "b"}));

  // A clock that moves a millisecond with every reading, about to leave 10:59: read once, every
  // field of the line sees 10:59.
  world.msPerClockRead = 1;
  world.SetLocalTime(2026, 3, 2, 10, 59, 59, 998);
  EXPECT_EQ(Walk({"59 10 * * * late"}), V{"late"});
}

TEST_F(MinuteMatcherTest, AlignToMinuteSleepsToSecondZeroWithoutSpinning) {
  world.msPerClockRead = 1;  // a loop that only reads the clock would make thousands of reads
  struct Case {
    int second, ms;
    std::int64_t waited;
  } cases[] = {{30, 250, 29750}, {0, 500, 0}, {59, 999, 1}, {1, 0, 59000}, {0, 0, 0}};
  for (const Case& c : cases) {
    world.SetLocalTime(2026, 3, 2, 10, 15, c.second, c.ms);
    const std::int64_t start = world.Now();
    const int readsBefore = platform.ClockReads();
    AlignToMinute(platform);
    const SystemTime now = world.LocalTime();
    EXPECT_EQ(now.second, 0) << c.second << "." << c.ms;
    // Within second 00 it returns at once; otherwise early in second 00.
    EXPECT_LT(now.milliseconds, c.waited == 0 ? c.ms + 5 : 20) << c.second << "." << c.ms;
    EXPECT_GE(world.Now() - start, c.waited);
    EXPECT_LE(platform.ClockReads() - readsBefore, 62);
  }
}

TEST_F(MinuteMatcherTest, MillisecondsToNextMinute) {
  world.SetLocalTime(2026, 3, 2, 10, 15, 0, 0);
  EXPECT_EQ(MillisecondsToNextMinute(platform.LocalTime()), 60000u);
  world.SetLocalTime(2026, 3, 2, 10, 15, 59, 999);
  EXPECT_EQ(MillisecondsToNextMinute(platform.LocalTime()), 1u);
  world.SetLocalTime(2026, 3, 2, 10, 15, 0, 180);
  EXPECT_EQ(MillisecondsToNextMinute(platform.LocalTime()), 59820u);
}

}  // namespace
}  // namespace pendulon::sim
