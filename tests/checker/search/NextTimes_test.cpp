#include "checker/search/NextTimes.h"

#include <chrono>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "checker/ZoneCases.h"
#include "checker/folder/FieldDiagnosis.h"
#include "checker/folder/FolderCheck.h"
#include "platform/Exceptions.h"
#include "scheduler/MinuteMatcher.h"
#include "scheduler/TaskLine.h"
#include "support/SimFixture.h"

namespace pendulon::sim {
namespace {

// Lines that fire, raise, never match, and are shadowed partly or wholly by lines above.
const char* const kTable[] = {
    "* * * * * every",
    "5 * * * * hourly",
    "30 8 * * 2 monday",
    "0 0 * * * midnight",
    "0 0 1 3 * march-first",
    "59 23 28 2 * february-end",
    "0 0 29 2 * leap-day",
    "15 10 * 3 * march",
    "* 9 * * 1 sunday-nine",
    "0 0 1 1 * new-year",
    "05 * * * * zero",
    "7 * * *",              // raises (3) at minute 7 of every hour
    "* 13 * * 5",           // raises (4) from 13:00 to 13:59: the "5" is dropped
    "45 * * * * after",     // not examined at 13:45
    "30 13 * * * blocked",  // never examined
    "0 12 * * * ",          // raises (5) at 12:00
    "* 12 * * * noon-hour",
    "0 0 * * 1 sunday-midnight",
    "30 2 * * * half-past-two",
};

class NextTimesTest : public SimTest {
 protected:
  // What the executer's walk does in one minute: items run, then the error it ended with.
  std::vector<std::string> RealWalk(const std::unique_ptr<TStringList>& table) {
    std::vector<std::string> events;
    try {
      WalkTasks(platform, table, [&](const AnsiString& item, int) {
        events.push_back(item);
        return true;
      });
    } catch (const EStringListError& e) {
      events.push_back(e.Message());
    }
    return events;
  }
};

// 64 lines alike, then lines that alone tell minutes apart: the classes of minute must see
// lines past the first 64 as well.
std::vector<std::string> PastSixtyFour() {
  std::vector<std::string> lines(64, "* * * * * every");
  lines.push_back("5 10 * * * late-a");
  lines.push_back("* 10 * * 4 late-b");
  return lines;
}

TEST_F(NextTimesTest, AgreeWithTheExecutersWalkMinuteByMinuteForAWeek) {
  SetEuropeBerlinRules(world);
  for (const std::vector<std::string>& text :
       {std::vector<std::string>(std::begin(kTable), std::end(kTable)), PastSixtyFour()}) {
    SCOPED_TRACE(text.size());
    auto table = std::make_unique<TStringList>();
    for (const std::string& line : text) table->Add(line);
    // A week across the end of February, in a common and in a leap year, across a year's end, and
    // across the two clock changes. Each week begins with the minute after these.
    const LocalMinute befores[] = {{2026, 2, 25, 23, 59},
                                   {2028, 2, 25, 23, 59},
                                   {2026, 12, 27, 23, 59},
                                   {2027, 3, 25, 23, 59},
                                   {2027, 10, 28, 23, 59}};
    for (const LocalMinute& before : befores) {
      // What the checker says: every time each line acts within the week.
      ServingHost served(platform);
      LaunchExplainer launches(served, kLaunch, false);
      const std::vector<LineReport> lines =
          AnalyseLines(*table, launches, platform, before, 7 * 24 * 60 + 1);
      std::map<LocalMinute, std::vector<std::string>> expected;
      for (const LineReport& line : lines) {
        for (const NextTime& next : line.next) {
          auto& events = expected[next.at];
          if (!events.empty() && events.back().rfind("List index", 0) == 0)
            ADD_FAILURE() << "line " << line.number << " acts after a raise at "
                          << MinuteText(next.at);
          events.push_back(line.error ? line.error->message : std::string(*line.Item()));
        }
      }
      // What the executer does, minute by minute, at 200 ms past each boundary.
      world.SetLocalTime(before.year, before.month, before.day, before.hour, before.minute, 0, 200);
      int minutesWithEvents = 0;
      std::map<LocalMinute, int> shown;  // how often the clock showed each local minute
      for (int i = 0; i < 7 * 24 * 60; ++i) {
        world.AdvanceBy(kMinute);
        const LocalMinute now = MinuteOf(world.LocalTime());
        ++shown[now];
        const std::vector<std::string> real = RealWalk(table);
        const auto predicted = expected.find(now);
        EXPECT_EQ(real,
                  predicted == expected.end() ? std::vector<std::string>() : predicted->second)
            << MinuteText(now);
        minutesWithEvents += real.empty() ? 0 : 1;
      }
      EXPECT_EQ(minutesWithEvents, 7 * 24 * 60);  // "every" runs each minute the walk gets to it
      // Within the week: a minute shown twice is said to be, and a minute skipped is never shown.
      const LocalMinute last = shown.rbegin()->first;
      for (const LineReport& line : lines) {
        for (const NextTime& next : line.next) {
          if (next.at <= last) {
            EXPECT_EQ(shown[next.at], next.twice ? 2 : 1)
                << line.number << " " << MinuteText(next.at);
          }
        }
        for (const SkippedMinute& skipped : line.skipped) {
          if (skipped.at <= last) {
            EXPECT_EQ(shown.count(skipped.at), 0u) << line.number << " " << MinuteText(skipped.at);
          }
        }
      }
    }
  }
}

TEST_F(NextTimesTest, FollowTheClocksChangesInAZoneWithSummerTime) {
  SetEuropeBerlinRules(world);
  for (const ZoneCase& c : kBerlinCases) {
    const std::string report = ZoneReport(platform, c.line);
    EXPECT_NE(report.find(c.said), std::string::npos) << c.said << "\n---\n" << report;
  }
}

// Raising lines, one for each value of a field (but skip): "* * * 6 * " raises in June.
std::vector<std::string> Each(int field, int low, int high, int skip = -1) {
  std::vector<std::string> lines;
  for (int v = low; v <= high; ++v) {
    std::string fields[5] = {"*", "*", "*", "*", "*"};
    fields[field] = std::to_string(v);
    if (v != skip)
      lines.push_back(fields[0] + " " + fields[1] + " " + fields[2] + " " + fields[3] + " " +
                      fields[4] + " ");
  }
  return lines;
}

TEST_F(NextTimesTest, NeverExaminedExactlyWhenLinesAboveRaiseInEveryMinuteItWouldActIn) {
  std::vector<std::string> sixDays = Each(4, 1, 6);
  sixDays.push_back("* 12 * * 7 ");
  struct Case {
    const char* what;
    std::vector<std::string> above;
    const char* line;
    bool examined;
  } cases[] = {
      {"nothing above", {}, "* * * * * x", true},
      {"the same minutes", {"7 * * * * "}, "7 * * * * x", false},
      {"more minutes", {"7 * * * * "}, "7 12 * * 2 x", false},
      {"fewer minutes", {"7 12 * * * "}, "7 * * * * x", true},
      {"other minutes", {"7 * * * * "}, "8 * * * * x", true},
      {"every month", Each(3, 1, 12), "* * * * * x", false},
      {"every month but June", Each(3, 1, 12, 6), "* * * * * x", true},
      {"every weekday", Each(4, 1, 7), "0 0 1 1 * x", false},
      {"every minute of the hour", Each(0, 0, 59), "* 5 * * * x", false},
      {"days 1 to 29 in February", Each(2, 1, 29), "* * * 2 * x", false},
      {"days 1 to 28 in February", Each(2, 1, 28), "* * * 2 * x", true},
      {"days 1 to 30 in April", Each(2, 1, 30), "* * * 4 * x", false},
      {"days 1 to 30 in any month", Each(2, 1, 30), "* * * * * x", true},
      {"every weekday but Thursday, on 29 February", Each(4, 1, 7, 5), "0 0 29 2 * x", true},
      {"six days, and noon on the seventh", sixDays, "* 12 * * * x", false},
      {"six days, and noon on the seventh, one hour short", sixDays, "* * * * * x", true},
  };
  ServingHost served(platform);
  LaunchExplainer launches(served, kLaunch, false);
  for (const Case& c : cases) {
    TStringList table;
    for (const std::string& line : c.above) table.Add(line);
    table.Add(c.line);
    const std::vector<LineReport> lines =
        AnalyseLines(table, launches, platform, {2026, 3, 2, 10, 5});
    const LineReport& last = lines.back();
    EXPECT_EQ(last.verdict != Verdict::kUnreached, c.examined) << c.what;
    EXPECT_EQ(last.next.empty(), !c.examined) << c.what;
  }
}

// The next times by plain counting of calendar days with the standard library's weekday.
std::vector<LocalMinute> CountedTimes(const Schedule& s, const LocalMinute& after, int count) {
  using namespace std::chrono;
  std::vector<LocalMinute> found;
  sys_days day = sys_days(year(after.year) / after.month / after.day);
  for (int d = 0; d < 146097 && static_cast<int>(found.size()) < count; ++d, day += days(1)) {
    const year_month_day date(day);
    const int dayOfWeek = static_cast<int>(std::chrono::weekday(day).c_encoding()) + 1;
    const int values[] = {static_cast<int>(static_cast<unsigned>(date.day())),
                          static_cast<int>(static_cast<unsigned>(date.month())), dayOfWeek};
    if ((s.Fixed(2) && s[2] != values[0]) || (s.Fixed(3) && s[3] != values[1]) ||
        (s.Fixed(4) && s[4] != values[2]))
      continue;
    for (int h = 0; h < 24; ++h) {
      for (int m = 0; m < 60 && static_cast<int>(found.size()) < count; ++m) {
        const LocalMinute at{static_cast<int>(date.year()), values[1], values[0], h, m};
        if ((s.Fixed(0) && s[0] != m) || (s.Fixed(1) && s[1] != h) || !(after < at))
          continue;
        found.push_back(at);
      }
    }
  }
  return found;
}

TEST_F(NextTimesTest, RareLinesFindTheirTimesYearsAhead) {
  struct Case {
    const char* line;
    LocalMinute after;
  } cases[] = {
      {"0 0 29 2 * leap", {2026, 3, 2, 10, 5}},
      {"0 0 29 2 2 leap-monday", {2026, 3, 2, 10, 5}},
      {"0 12 13 * 6 friday-13th", {2026, 3, 2, 10, 5}},
      {"30 * 31 * * thirty-first", {2026, 3, 31, 23, 30}},
      {"0 0 1 1 * new-year", {2026, 12, 31, 23, 59}},
      {"* * * * * every", {2026, 12, 31, 23, 58}},
      {"59 23 31 12 * last", {2026, 12, 31, 23, 59}},
      {"0 0 * 2 1 february-sundays", {2027, 2, 28, 0, 0}},
      {"0 0 29 2 * leap", {2096, 3, 1, 0, 0}},  // 2100 is no leap year
  };
  for (const Case& c : cases) {
    TimedLine line{0, {}, -1};
    TaskFields fields;
    SplitTaskLine(c.line, fields);
    for (int f = 0; f < Schedule::kFields; ++f)
      line.when[f] = DiagnoseField(f, fields.Get(f)).value;
    TStringList table;
    table.Add(c.line);
    const std::vector<LineTimes> times = FindNextTimes(table, {line}, platform, c.after, 3);
    std::vector<LocalMinute> next;
    for (const NextTime& n : times[0].next) next.push_back(n.at);
    const std::vector<LocalMinute> counted = CountedTimes(line.when, c.after, 3);
    ASSERT_EQ(counted.size(), 3u) << c.line;
    EXPECT_EQ(next, counted) << c.line;
  }
}

}  // namespace
}  // namespace pendulon::sim
