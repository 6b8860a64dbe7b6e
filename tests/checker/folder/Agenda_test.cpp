// qefcheck --next: the span it takes, and its agreement with each line's next times.

#include "checker/folder/Agenda.h"

#include <string>
#include <vector>

#include "checker/CheckerFixture.h"
#include "platform/Files.h"

namespace pendulon::sim {
namespace {

// The span is hours or days, up to 31 days; a longer one is refused before anything is read.
TEST_F(CheckerTest, NextTakesASpanOfUpTo31Days) {
  world.WriteFile(kTasks, "0 9 * * * Backup\r\n");
  world.WriteFile(kLaunch, "<Backup>\r\npath=C:\\b.exe\r\n</Backup>\r\n");
  struct Case {
    std::vector<std::string> arguments;
    int status;
    const char* said;
  } const cases[] = {
      {{"--next"}, 0, "1 launch in the next 24 hours"},
      {{"--next", "31d"}, 0, "31 launches in the next 31 days"},
      {{"--next", "744h", "C:\\Tools"}, 0, "31 launches in the next 744 hours"},
      {{"--next=1h"}, 0, "0 launches in the next 1 hour"},
      {{"--next", "C:\\Tools"}, 0, "in the next 24 hours"},
      {{"--next", "32d"}, 2, "--next looks ahead at most 31 days"},
      {{"--next", "745h"}, 2, "--next looks ahead at most 31 days"},
      {{"--next=0h"}, 2, "--next takes a span in hours or days"},
      {{"--next=2w"}, 2, "--next takes a span in hours or days"},
      // What a user types after --next is a span, right or wrong, not a folder.
      {{"--next", "7D", "C:\\Tools"}, 0, "7 launches in the next 7 days"},
      {{"--next", "1w"}, 2, "in hours or days, as 48h or 7d, up to 31d; not 1w\n"},
      {{"--next", "24", "C:\\Tools"}, 2, "in hours or days, as 48h or 7d, up to 31d; not 24\n"},
      {{"--next", "2w"}, 2, "qefcheck --help tells how to call it.\n"},
  };
  for (const Case& c : cases) {
    const Outcome outcome = Run(c.arguments);
    EXPECT_EQ(outcome.status, c.status) << c.arguments.back();
    EXPECT_NE((outcome.out + outcome.err).find(c.said), std::string::npos)
        << outcome.out << outcome.err;
  }
}

// Both come from one search, so the minutes the span lists for a line are its next times, each
// as often as the clock shows it, and those the clock skips; whatever the lines above do.
TEST_F(CheckerTest, TheSpanListsEachLinesNextTimesAndNoOthers) {
  SetEuropeBerlinRules(world);
  const std::string tasks =
      "30 2 * * * half-past-two\r\n7 * * *\r\n15 * * * 1 sunday\r\n* 13 * * 5\r\n"
      "45 13 * * * blocked-fridays\r\n0 0 29 2 * leap\r\n5 * * * * hourly\r\n";
  constexpr int kCount = 40;  // more than any line acts in the span but the hourly one
  for (const LocalMinute& after : {LocalMinute{2027, 3, 20, 12, 0}, LocalMinute{2027, 10, 25, 9, 0},
                                   LocalMinute{2028, 2, 14, 0, 0}}) {
    TStringList table;
    AppendLines(tasks, table);
    ServingHost served(platform);
    LaunchExplainer launches(served, kLaunch, false);
    const std::vector<LineReport> lines = AnalyseLines(table, launches, platform, after, kCount);
    std::vector<std::vector<NextTime>> listed(lines.size());
    std::vector<std::vector<LocalMinute>> skipped(lines.size());
    Agenda agenda(table, lines, platform);
    agenda.Walk(after, 31 * 24 * 60, agenda.Select([](const LineReport&) { return true; }),
                [&](const LocalMinute& at, const MinuteOccurrence& shown, const LineReport& line) {
                  const auto k = static_cast<std::size_t>(line.number - 1);
                  if (shown.times == 0)
                    skipped[k].push_back(at);
                  else
                    listed[k].push_back({at, shown.times == 2});
                  return true;
                });
    const LocalMinute end = MinuteAt(MinuteNumber(after) + 31 * 24 * 60);
    for (std::size_t k = 0; k < lines.size(); ++k) {
      std::vector<NextTime> next;
      for (const NextTime& n : lines[k].next) {
        if (n.at <= end)
          next.push_back(n);
      }
      listed[k].resize(std::min(listed[k].size(), static_cast<std::size_t>(kCount)));
      EXPECT_EQ(listed[k], next) << "line " << k + 1 << " after " << MinuteText(after);
      // The skipped minutes the next times name: those before the last of them, when full.
      const auto named = [&](const LocalMinute& at) {
        return at <= end && (next.size() < kCount || at < next.back().at);
      };
      std::vector<LocalMinute> notShown, seen;
      for (const SkippedMinute& s : lines[k].skipped) {
        if (named(s.at))
          notShown.push_back(s.at);
      }
      for (const LocalMinute& at : skipped[k]) {
        if (named(at))
          seen.push_back(at);
      }
      EXPECT_EQ(seen, notShown) << "line " << k + 1 << " after " << MinuteText(after);
    }
  }
}

}  // namespace
}  // namespace pendulon::sim
