#include "checker/Checker.h"

#include "Version.h"

#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "CheckerFixture.h"
#include "ReportJson.h"

namespace pendulon::sim {
namespace {

std::string Lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

std::vector<std::string> MonthLines() {
  std::vector<std::string> lines;
  for (int month = 1; month <= 12; ++month)
    lines.push_back("* * * " + std::to_string(month) + " *");
  return lines;
}

TEST_F(CheckerTest, EachLineGetsTheVerdictItsFieldsAndTheLinesAboveCallFor) {
  struct Case {
    std::vector<std::string> above;
    const char* line;
    const char* verdict;
    const char* words;  // part of the reason given
  } cases[] = {
      {{}, "", "skipped", "empty line"},
      {{}, "# 30 8 * * * Backup", "skipped", "comment"},
      {{}, "* * * * * Backup", "launches", "fires every minute"},
      {{}, "5 * * * * Backup", "launches", "fires at minute 5 of every hour"},
      {{}, "30 8 * * 2 Backup", "launches", "fires at 8:30 on Mondays"},
      {{}, "0 0 1 1 * Backup", "launches", "fires at 0:00 on 1 January"},
      {{}, "* 8 * 2 * Backup", "launches", "every minute from 8:00 to 8:59 in February"},
      {{}, "0 0 29 2 * Backup", "launches", "on 29 February (leap years only)"},
      {{}, "05 * * * * Backup", "never-matches", "minute \"05\" has a leading zero"},
      {{}, "0 00 * * * Backup", "never-matches", "hour \"00\" has a leading zero"},
      {{}, "* 24 * * * Backup", "never-matches", "hour \"24\" is out of range"},
      {{}, "* * 0 * * Backup", "never-matches", "day \"0\" is out of range"},
      {{}, "* * * 13 * Backup", "never-matches", "month \"13\" is out of range"},
      {{}, "* * * * 0 Backup", "never-matches", "weekday \"0\" is out of range"},
      {{}, "* * 1-5 * * Backup", "never-matches", "day \"1-5\" is a range"},
      {{}, "*/5 * * * * Backup", "never-matches", "minute \"*/5\" is a step"},
      {{}, "1,15 * * * * Backup", "never-matches", "minute \"1,15\" is a list"},
      {{}, "-5 * * * * Backup", "never-matches", "minute \"-5\" has a sign"},
      {{}, "*  * * * * Backup", "never-matches", "hour \"\" is empty"},
      {{}, " * * * * * Backup", "never-matches", "minute \"\" is empty"},
      {{}, "*\t* * * * Backup", "never-matches", "minute \"*<09>*\" holds a tab"},
      {{}, "\xEF\xBB\xBF* * * * * Backup", "never-matches", "byte-order mark"},
      {{}, "* * * * Mon Backup", "never-matches", "weekday \"Mon\" is not a number"},
      {{}, "0 0 31 4 * Backup", "never-matches", "day \"31\" never occurs in April"},
      {{}, "0 0 30 2 * Backup", "never-matches", "day \"30\" never occurs in February"},
      // The walk stops at the first failing check, before it reaches the missing field.
      {{}, "05 * *", "never-matches", "leading zero"},
      {{}, "* * 31 4 *", "never-matches", "never occurs in April"},
      {{}, "backup", "raises-error", "(0)\" every minute"},
      {{}, "7 * * *", "raises-error", "(3)\" at minute 7 of every hour"},
      {{}, "* * * * *", "raises-error", "(4)\" every minute"},
      {{}, "* * * * *", "raises-error", "the text after the last space, \"*\", is dropped"},
      {{}, "* * * * * ", "raises-error", "(5)\" every minute"},
      {{}, "* * 31 *", "raises-error", "(3)\" every minute on day 31 of every month (only in"},
      {{}, "* * * * * Nowhere", "launches-nothing", "no section for the item"},
      {{"7 * * *"}, "7 * * * * Backup", "never-examined", "line 1 raises first"},
      {{"backup"}, "0 0 1 1 * Backup", "never-examined", "line 1 raises first"},
      {{"0 12 * *"},
       "0 12 * * 2",
       "never-examined",
       "line 1 raises first in every minute this line would act in (at 12:00 every day)"},
      {MonthLines(), "* * * * * Backup", "never-examined", "lines 1 to 12 raise first"},
      {{"7 * * *"}, "* * * * * Backup", "launches", "fires every minute"},
      {{"05 * * *", "* * * * * Nowhere"}, "* * * * * Backup", "launches", "every minute"},
      {{"* * * 2 *", "* * * 3 *"}, "0 0 29 * * Backup", "launches", "on day 29 of every month"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> lines = c.above;
    lines.push_back(c.line);
    const FolderCheck check = Check(Lines(lines), kLaunchText);
    ASSERT_EQ(check.lines.size(), lines.size()) << c.line;
    const LineReport& last = check.lines.back();
    EXPECT_EQ(VerdictCode(last.verdict), std::string(c.verdict)) << c.line;
    EXPECT_NE(last.reason.find(c.words), std::string::npos) << c.line << ": " << last.reason;
  }
}

TEST_F(CheckerTest, PartlyShadowedLinesSayWhenAndSkipThoseMinutes) {
  // Monday 10:05: line 1 raises at minute 7 of every hour, line 2 at noon every day.
  const FolderCheck check = Check(Lines({"7 * * *", "0 12 * *", "* * * * 2 Backup"}), kLaunchText);
  const LineReport& line = check.lines[2];
  EXPECT_EQ(line.verdict, Verdict::kLaunches);
  ASSERT_EQ(line.notExamined.size(), 2u);
  EXPECT_EQ(line.notExamined[0].words,
            "at minute 7 of every hour on Mondays, when line 1 raises first");
  EXPECT_EQ(line.notExamined[1].words, "at 12:00 on Mondays, when line 2 raises first");
  ASSERT_EQ(line.next.size(), 3u);
  EXPECT_EQ(line.next[0].at, (LocalMinute{2026, 3, 2, 10, 6}));
  EXPECT_EQ(line.next[1].at, (LocalMinute{2026, 3, 2, 10, 8}));
  EXPECT_EQ(line.next[2].at, (LocalMinute{2026, 3, 2, 10, 9}));
  // The raising lines' own next times: the second one is not reached at 12:07, but at 12:00.
  EXPECT_EQ(check.lines[0].next[0].at, (LocalMinute{2026, 3, 2, 10, 7}));
  EXPECT_EQ(check.lines[1].next[0].at, (LocalMinute{2026, 3, 2, 12, 0}));
}

TEST_F(CheckerTest, ExitStatusSaysWhetherEveryLineLaunches) {
  const std::string ok = Lines({"# nightly", "", "* * * * * Backup"});
  struct Case {
    std::optional<std::string> tasks, launch;
    std::vector<std::string> arguments;
    int status;
  } cases[] = {
      {ok, kLaunchText, {}, 0},
      {ok, kLaunchText, {"C:\\Tools"}, 0},
      {ok, kLaunchText, {"--json", "C:\\Tools\\"}, 0},
      {"", std::nullopt, {}, 0},
      {ok + "05 * * * * Backup\r\n", kLaunchText, {}, 1},
      {ok + "7 * * *\r\n", kLaunchText, {}, 1},
      {ok, std::nullopt, {}, 1},
      {ok, "", {}, 1},
      {std::nullopt, kLaunchText, {}, 2},
      {ok, kLaunchText, {"C:\\Elsewhere"}, 2},
      {ok, kLaunchText, {"--verbose"}, 2},
      {ok, kLaunchText, {"C:\\Tools", "C:\\Other"}, 2},
      {ok, kLaunchText, {"--help"}, 0},
  };
  for (const Case& c : cases) {
    world.RemoveFile(kTasks);
    world.RemoveFile(kLaunch);
    if (c.tasks)
      world.WriteFile(kTasks, *c.tasks);
    if (c.launch)
      world.WriteFile(kLaunch, *c.launch);
    const Outcome outcome = Run(c.arguments);
    EXPECT_EQ(outcome.status, c.status)
        << (c.tasks ? *c.tasks : "(no tasks)") << " " << outcome.out << outcome.err;
    EXPECT_EQ(outcome.err.empty(), c.status != 2);
  }
}

// --help writes paths as the system it runs on does, and names what qefcheck can do.
TEST_F(CheckerTest, HelpWritesPathsWithTheSystemsSeparatorAndNamesEveryCommand) {
  for (const char separator : {'\\', '/'}) {
    std::ostringstream out, err;
    EXPECT_EQ(RunChecker(platform, {"--help"}, separator, out, err), 0);
    const std::string lib = std::string("folder") + separator + "lib" + separator;
    for (const std::string& said : {lib + "tasks.qef", lib + "pendulon.log", std::string("--next"),
                                    std::string("--follow"), std::string("--json")})
      EXPECT_NE(out.str().find(said), std::string::npos) << said << "\n" << out.str();
    EXPECT_EQ(out.str().find(separator == '/' ? '\\' : '/'), std::string::npos) << out.str();
  }
}

TEST_F(CheckerTest, VersionIsTheBuildsVersionAndCommit) {
  const Outcome outcome = Run({"--version"});
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.out.rfind(std::string("qefcheck ") + kVersion + " (commit ", 0), 0u)
      << outcome.out;
  const std::regex form(
      R"(qefcheck 2\.5\.0\.\d+ \(commit ([0-9a-f]{40}(, modified)?|unknown)\)\n)");
  EXPECT_TRUE(std::regex_match(outcome.out, form)) << outcome.out;
}

TEST_F(CheckerTest, UnreadableFilesGiveStatusTwoAndSayWhich) {
  world.WriteFile(kTasks, "* * * * * Backup\r\n");
  world.WriteFile(kLaunch, kLaunchText);
  world.File(kTasks)->failReads = true;
  Outcome outcome = Run({});
  EXPECT_EQ(outcome.status, 2);
  EXPECT_NE(outcome.err.find("Cannot open file C:\\Tools\\lib\\tasks.qef"), std::string::npos);

  world.File(kTasks)->failReads = false;
  world.File(kLaunch)->failReads = true;
  EXPECT_EQ(Run({}).status, 2);

  // A device or a pipe might never end, or never give a byte.
  world.File(kLaunch)->failReads = false;
  world.File(kLaunch)->kind = FileKind::kDevice;
  EXPECT_EQ(Run({}).status, 2);

  world.RemoveFile(kLaunch);
  world.MakeDirectory(kLaunch);  // the executer could neither create nor read it
  outcome = Run({"--json"});
  EXPECT_EQ(outcome.status, 2);
  Json report = ParseReport(outcome.out);
  EXPECT_EQ(report["error"],
            "no folder given, so qefcheck checked its own folder C:\\Tools: Cannot open file "
            "C:\\Tools\\lib\\launch.qef");
  EXPECT_EQ(report["exitStatus"], 2);
}

TEST_F(CheckerTest, CreatesNothingAndLaunchesNothing) {
  world.WriteFile(kTasks, "* * * * * Backup\r\n");
  EXPECT_EQ(Run({}).status, 1);
  EXPECT_FALSE(world.Exists(kLaunch));  // the executer would have made it

  // A launch file dated before 1980 reads as absent to the executer's stamp, yet it is there.
  const std::int64_t in1975 = UtcMsFromCivil(1975, 6, 1, 12, 0, 0, 0);
  world.WriteFile(kLaunch, kLaunchText, in1975);
  const FolderCheck check = CheckFolder(platform, "C:\\Tools", '\\');
  EXPECT_EQ(check.lines[0].verdict, Verdict::kLaunches);
  EXPECT_EQ(world.Contents(kLaunch), kLaunchText);
  EXPECT_EQ(world.File(kLaunch)->lastWrite, in1975);

  world.RemoveFile(kTasks);
  world.RemoveFile(kLaunch);
  EXPECT_EQ(Run({"C:\\Fresh"}).status, 2);
  EXPECT_FALSE(world.Exists("C:\\Fresh"));
  EXPECT_FALSE(world.Exists(kTasks));
  EXPECT_FALSE(world.Exists(kLaunch));
  EXPECT_TRUE(world.launches.empty());
  EXPECT_TRUE(world.boxes.empty());
  EXPECT_EQ(platform.OpenFiles(), 0);
}

TEST_F(CheckerTest, JsonStaysValidForAnyBytesAndKeepsThem) {
  const std::vector<std::string> lines = {
      "\xEF\xBB\xBF# saved with a byte-order mark",
      "* * * * * B\x01\x7F\xFF\"\\q",
      "\t* * * * * tab",
      "* * * * * caf\xE9 \x81\x40",
      "05 * * * * \"quoted\"",
      "7 * * *",
      "",
  };
  world.WriteFile(kTasks, Lines(lines));
  world.WriteFile(kLaunch,
                  std::string(kLaunchText) +
                      "<caf\xE9 \x81\x40>\r\npath=C:\\\xE9.exe\r\n</caf\xE9 \x81\x40>\r\n");
  const Outcome outcome = Run({"--json"});
  EXPECT_EQ(outcome.status, 1);
  Json report = ParseReport(outcome.out);
  // One object per line of the task file, in the file's order.
  Json& reported = report["lines"];
  ASSERT_EQ(reported.size(), lines.size());
  // The mark makes the first line a task whose minute field is never shown; the tab makes the
  // third one's; the second's item has no section; line 6 lacks its weekday at minute 7.
  const char* const verdicts[] = {"never-matches", "launches-nothing", "never-matches", "launches",
                                  "never-matches", "raises-error",     "skipped"};
  for (std::size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(Bytes(reported[i]["text"]), lines[i]) << i;
    EXPECT_EQ(reported[i]["verdict"], verdicts[i]) << i;
  }
  EXPECT_EQ(Bytes(reported[3]["item"]), "caf\xE9 \x81\x40");
  EXPECT_EQ(Bytes(reported[3]["launch"]["file"]), "C:\\\xE9.exe");
}

TEST_F(CheckerTest, TextReportNamesEachLineAndSumsUp) {
  world.WriteFile(kTasks, Lines({"# nightly", "30 8 * * 2 Backup", "05 * * * * Backup"}));
  world.WriteFile(kLaunch, kLaunchText);
  const std::string out = Run({}).out;
  for (const char* expected : {
           "qefcheck C:\\Tools\n",
           "  local time   Mon 2026-03-02 10:05",
           "line 1  comment\n",
           "line 2  task  minute \"30\"  hour \"8\"  day \"*\"  month \"*\"  weekday \"2\"  item "
           "\"Backup\"\n        ok: fires at 8:30 on Mondays\n"
           "        next: Mon 2026-03-09 08:30, Mon 2026-03-16 08:30, Mon 2026-03-23 08:30\n"
           "        shell: verb        open (the default)\n"
           "               file        C:\\Tools\\backup.exe\n"
           "               parameters  /quiet D:\\Data\n"
           "               folder      D:\\\n"
           "               show        9\n",
           "        PROBLEM: never matches: minute \"05\"",
           "3 lines (1 comment, 2 tasks): 1 launches on schedule, 1 has a problem (line 3).\n",
       }) {
    EXPECT_NE(out.find(expected), std::string::npos) << expected << "\n---\n" << out;
  }
}

TEST_F(CheckerTest, ReportsSayWhatIsWrongAndHowToMendIt) {
  world.WriteFile("C:\\Program Files\\x\\y.exe", "MZ");
  const std::string sync = "<Sync>\r\npath=C:\\Tools\\sync.exe\r\n</Sync>\r\n";
  struct Case {
    std::optional<std::string> tasks, launch;
    std::vector<std::pair<std::string, std::string>> more;  // other files: path, bytes
    bool drivesHere;                                        // qefcheck.exe on this machine
    std::vector<std::string> said;                          // in the output or the errors
  };
  std::vector<Case> cases = {
      {"* * * * * Sync\r\n",
       "<Sync>\r\npath=\"C:\\Program Files\\x\\y.exe\"\r\n</Sync>\r\n",
       {},
       true,
       {"PROBLEM: fires every minute, but the shell will not open the file: path= is in double "
        "quotes: write the "
        "path without quotes; Pendulon passes it to the shell as it is\n",
        "file        \"C:\\Program Files\\x\\y.exe\"\n"}},
      {"* * * * * Sync\r\n",
       "<Sync>\r\npath=\"C:\\Program Files\\x\\z.exe\"\r\n</Sync>\r\n",
       {},
       true,
       {"as it is. Without the quotes, this machine has no such file either\n"}},
      {"* * * * * Sync\r\n",
       "<Sync>\r\npath=\"C:\\Program Files\\x\\z.exe\"\r\n</Sync>\r\n",
       {},
       false,
       {"write the path without quotes; Pendulon passes it to the shell as it is\n"}},
      {"0 2 * * *\r\n* * * * * Sync\r\n",
       sync,
       {},
       false,
       {"PROBLEM: this line has no item name: Pendulon shows the error box \"List index out of "
        "bounds (4)\" at 2:00 every day, and skips the lines below it in those minutes;"}},
      {"* * *\r\n", sync, {}, false, {"PROBLEM: this line has 3 of the 5 time fields: Pendulon"}},
      {"5 * * * * \r\n", sync, {}, false, {"PROBLEM: this line has no item name: Pendulon"}},
      {"* * * * * Sync\r\n",
       "<Sync>\r\npath = C:\\Tools\\sync.exe\r\n</Sync>\r\n",
       {},
       false,
       {"the section opened on line 1 has no path=\n",
        "hint: line 2 has the key \"path \": keys compare exactly, spaces included; write "
        "path=C:\\Tools\\sync.exe\n"}},
      {"* * * * * Sync\r\n",
       "\xEF\xBB\xBF" + sync,
       {},
       false,
       {"hint: line 1 begins with a byte-order mark, which hides the section there: save the "
        "launch file without one (ANSI, not UTF-8 with BOM)\n"}},
      {"* * * * * Sync\r\n",
       std::nullopt,
       {{kLaunch + std::string(".txt"), sync}},
       false,
       {"hint: launch.qef.txt is there instead: an editor added \".txt\" to the name when saving; "
        "rename it to launch.qef\n"}},
      {"* * * * * Sync\r\n",
       sync,
       {{kTasks + std::string(".txt"), ""}},
       false,
       {"hint: tasks.qef.txt lies beside it and is never read: if it holds your changes"}},
      {std::nullopt,
       sync,
       {{kTasks + std::string(".txt"), ""}},
       false,
       {"qefcheck: no folder given, so qefcheck checked its own folder C:\\Tools: Cannot open file "
        "C:\\Tools\\lib\\tasks.qef\nqefcheck: hint: tasks.qef.txt is there instead"}},
      {"* * * * * Sync", "<Sync>", {}, false, {"tasks.qef (1 line)\n", "launch.qef (1 line)\n"}},
      {"7 * * *\r\n7 * * *\r\n8 * * *\r\n9 * * *\r\n10 * * *\r\n* * * * * Sync\r\n",
       sync,
       {},
       false,
       {"not examined: and in the minutes of 1 more line above\n"}},
      {"7 * * *\r\n7 * 1 *\r\n7 * 1 *\r\n7 * 2 *\r\n8 * * *\r\n* * * 7 *\r\n7 * * * * Sync\r\n",
       sync,
       {},
       false,
       {"never examined: lines 1, 2, 4 and 6 raise first", "have problems (lines 1 to 7).\n"}},
  };
  std::string minutes, hours;  // 25 lines that raise in a minute each; 24 that raise all hour
  for (int m = 0; m < 25; ++m) minutes += std::to_string(m) + " * * *\r\n";
  for (int h = 0; h < 24; ++h) hours += "* " + std::to_string(h) + " * *\r\n";
  cases.push_back({minutes + "* * * * * Sync\r\n",
                   sync,
                   {},
                   false,
                   {"not examined: and in the minutes of 22 more lines above\n"}});
  cases.push_back({hours + "* * * * * Sync\r\n",
                   sync,
                   {},
                   false,
                   {"never examined: lines 1 to 20 and 4 more lines above raise first in every "
                    "minute"}});
  for (const Case& c : cases) {
    for (const std::string path : {kTasks, kLaunch}) {
      world.RemoveFile(path);
      world.RemoveFile(path + ".txt");
    }
    if (c.tasks)
      world.WriteFile(kTasks, *c.tasks);
    if (c.launch)
      world.WriteFile(kLaunch, *c.launch);
    for (const auto& [path, bytes] : c.more) world.WriteFile(path, bytes);
    std::ostringstream out, err;
    RunChecker(platform, {}, '\\', out, err, Machine{c.drivesHere});
    for (const std::string& said : c.said)
      EXPECT_NE((out.str() + err.str()).find(said), std::string::npos) << said << "\n---\n"
                                                                       << out.str() << err.str();
  }
}

// In a window of its own 60 columns wide, no line passes the width but a word alone, and the
// report ends with Pendulon's state again under the summary, as the head has scrolled away;
// elsewhere lines keep their length and the report ends with the summary.
TEST_F(CheckerTest, AWindowOfItsOwnWrapsItsLinesAndEndsWithPendulonsStateAgain) {
  world.WriteFile(kTasks, "30 8 * * * Backup\r\n0 30 8 * * * Backup\r\n");
  world.WriteFile(kLaunch, kLaunchText);
  world.AddWindow("TfrmPendulon", "Quillmar v.2.5 Final Release");
  for (const bool own : {true, false}) {
    Machine machine;
    machine.windows = &platform;
    machine.ownWindow = own;
    machine.consoleWidth = 60;
    std::ostringstream out, err;
    RunChecker(platform, {"C:\\Tools"}, '\\', out, err, machine);
    const std::string report = out.str();
    const std::size_t state = report.find("\n  Pendulon");
    ASSERT_NE(state, std::string::npos) << report;
    const std::string stateLine = report.substr(state + 1, report.find('\n', state + 1) - state);
    const std::size_t last = report.rfind('\n', report.size() - 2);
    EXPECT_EQ(report.substr(last + 1) == stateLine, own) << report;
    EXPECT_NE(report.find("2 lines (2 tasks)"), std::string::npos) << report;
    std::istringstream lines(report);
    std::size_t longest = 0;
    for (std::string line; std::getline(lines, line);) {
      if (line.find(' ', line.find_first_not_of(' ')) != std::string::npos)
        longest = std::max(longest, line.size());
    }
    EXPECT_EQ(longest <= 60, own) << report;
  }
}

// The copy running is named by its program, and one that serves another folder is told apart:
// its state is not this folder's.
TEST_F(CheckerTest, TheRunningCopyIsNamedAndOneOfAnotherFolderToldApart) {
  world.WriteFile(kTasks, "* * * * * Backup\r\n");
  world.WriteFile(kLaunch, kLaunchText);
  const struct Case {
    const char* program;
    const char* said;
  } cases[] = {
      {"C:\\tools\\pendulon.exe", "; the copy running is C:\\tools\\pendulon.exe\n"},
      {"C:\\Quillmar\\pendulon.exe",
       "; the copy running is C:\\Quillmar\\pendulon.exe, which serves C:\\Quillmar, not this "
       "folder\n"},
  };
  for (const Case& c : cases) {
    SimPlatform running(world, c.program, "pendulon.exe \"-w quillmar\"");
    world.AddWindow("TfrmPendulon", "Quillmar v.2.5 Final Release");
    world.FindWindow("TfrmPendulon", "Quillmar v.2.5 Final Release")->process = &running;
    Machine machine;
    machine.windows = &platform;
    machine.programs = &platform;
    std::ostringstream out, err;
    RunChecker(platform, {"C:\\Tools"}, '\\', out, err, machine);
    EXPECT_NE(out.str().find(c.said), std::string::npos) << out.str();
    world.FindWindow("TfrmPendulon", "Quillmar v.2.5 Final Release")->process = nullptr;
  }
}

}  // namespace
}  // namespace pendulon::sim
