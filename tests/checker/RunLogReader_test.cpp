#include "checker/RunLogReader.h"

#include <string>

#include "CheckerFixture.h"
#include "JsonCheck.h"

namespace pendulon::sim {
namespace {

constexpr const char* kLog = "C:\\Tools\\lib\\pendulon.log";
constexpr const char* kOldLog = "C:\\Tools\\lib\\pendulon.log.1";
constexpr const char* kT = "2026-03-02T08:31:00.204+01:00";

std::string Launch(const char* time, int line, const char* item, int answer, const char* meaning) {
  return std::string(time) + "\tlaunch\t2026-03-02T08:31\t" + std::to_string(line) + "\t" + item +
         "\topen\tC:\\\\Apps\\\\" + item + ".exe\t\tC:\\\\Apps\t" + std::to_string(answer) + "\t" +
         meaning + "\t31\r\n";
}

TEST(RunLogReader, ParsesEachKindUnescapesValuesAndSkipsMalformedLines) {
  using Kind = RunLogRecord::Kind;
  const std::string t = kT;
  struct Case {
    std::string line;
    bool parses;
    Kind kind = Kind::kOther;
    int lineNumber = 0;
    const char* item = "";  // launch, no-launch
    const char* text = "";  // file for a launch, otherwise the reason, box text or error
  } cases[] = {
      {t + "\tlaunch\t2026-03-02T08:31\t5\tBackup\topen\tC:\\\\Apps\\\\b.exe\t/"
           "all\tC:\\\\Apps\t42\t"
           "ok\t31",
       true, Kind::kLaunch, 5, "Backup", "C:\\Apps\\b.exe"},
      {t + "\tlaunch\t2026-03-02T08:31\t6\tA\\tB\\\\\topen\tx\\r\\ny\t\t\t-1\terror\t0", true,
       Kind::kLaunch, 6, "A\tB\\", "x\r\ny"},
      {t + "\tno-launch\t2026-03-02T08:31\t7\tViewer\tthe launch file has no section", true,
       Kind::kNoLaunch, 7, "Viewer", "the launch file has no section"},
      {t + "\tbox-open\tCannot open file C:\\\\x.", true, Kind::kBox, 0, "",
       "Cannot open file C:\\x."},
      {t + "\tload-failed\treload\tC:\\\\t.qef\tCannot open", true, Kind::kLoadFailed, 0, "",
       "Cannot open"},
      {t + "\tstart\t2.5.0.31\tC:\\\\p.exe\t1\taccepted", true, Kind::kOther, 0, "", ""},
      {t + "\tlaunch\t2026-03-02T08:31\t5\tBackup\topen\tb.exe\t\t\t42\tok\t31\tlater", true,
       Kind::kLaunch, 5, "Backup", "b.exe"},
      // Malformed: cut short, bad escapes, bad numbers, a bad stamp.
      {t + "\tlaunch\t2026-03-02T08:31\t5\tBackup\topen\tb.exe\t\t\t42\tok", false},
      {t + "\tno-launch\t2026-03-02T08:31\t7\tViewer", false},
      {t + "\tbox-open", false},
      {t + "\tload-failed\treload\tC:\\\\t.qef", false},
      {t + "\tbox-open\tC:\\x", false},
      {t + "\tbox-open\tends in \\", false},
      {t + "\tno-launch\t2026-03-02T08:31\t0\tViewer\twhy", false},
      {t + "\tno-launch\t2026-03-02T08:31\tfive\tViewer\twhy", false},
      {t + "\tno-launch\t2026-03-02T08:31\t99999999999\tViewer\twhy", false},
      {t + "\tlaunch\t2026-03-02T08:31\t5\tBackup\topen\tb.exe\t\t\t4x2\tok\t31", false},
      {"2026-03-02 08:31:00.204+01:00\tbox-open\tx", false},
      {"2026-03-02T08:31:00.204\tbox-open\tx", false},
      {"", false},
      {"\tbox-open\tx", false},
  };
  for (const Case& c : cases) {
    const std::optional<RunLogRecord> r = ParseRunLogLine(c.line);
    ASSERT_EQ(r.has_value(), c.parses) << c.line;
    if (!r)
      continue;
    EXPECT_EQ(r->kind, c.kind) << c.line;
    EXPECT_EQ(r->time, kT) << c.line;
    EXPECT_EQ(r->line, c.lineNumber) << c.line;
    EXPECT_EQ(r->item, c.item) << c.line;
    EXPECT_EQ(c.kind == Kind::kLaunch ? r->file : r->text, c.text) << c.line;
  }
  EXPECT_EQ(ParseRunLogLine(cases[1].line)->answer, -1);
}

TEST_F(CheckerTest, TheOlderLogIsReadFirstAndTheNewestFailuresComeFirst) {
  std::string old, current;
  for (int i = 0; i < 12; ++i)
    old += Launch(("2026-03-01T08:00:00.0" + std::to_string(10 + i) + "+01:00").c_str(), 2, "A", 2,
                  "file not found");
  old += Launch("2026-03-01T09:00:00.000+01:00", 3, "B", 42, "ok");
  current += "2026-03-02T08:00:00.000+01:00\tno-launch\t2026-03-02T08:00\t2\tA\tno path=\r\n";
  current += "garbage\r\n";
  current += "2026-03-02T08:01:00.000+01:00\tbox-open\tCannot open file x.\r\n";
  current += Launch("2026-03-02T08:02:00.000+01:00", 3, "B", 42, "ok").substr(0, 40);  // cut
  world.WriteFile(kOldLog, old);
  world.WriteFile(kLog, current);
  world.LockForWriting(kLog, true);  // the executer is appending right now

  const std::optional<RunLogSummary> log = ReadRunLog(platform, kLog);
  ASSERT_TRUE(log);
  EXPECT_EQ(log->files, (std::vector<AnsiString>{kOldLog, kLog}));
  EXPECT_EQ(log->records, 15);
  EXPECT_EQ(log->skipped, 2);
  EXPECT_EQ(log->error, "");
  EXPECT_EQ(log->lastByLine.at(2).kind, RunLogRecord::Kind::kNoLaunch);
  EXPECT_EQ(log->lastByLine.at(3).time, "2026-03-01T09:00:00.000+01:00");
  ASSERT_EQ(log->failures.size(), 10u);
  EXPECT_EQ(log->failures[0].kind, RunLogRecord::Kind::kBox);
  EXPECT_EQ(log->failures[1].time, "2026-03-01T08:00:00.021+01:00");
  EXPECT_EQ(log->failures[9].time, "2026-03-01T08:00:00.013+01:00");

  // Of a log that could not roll over, the end is read.
  world.WriteFile(kLog, std::string(17 << 20, 'x') + "\r\n" +
                            Launch("2026-03-02T09:00:00.000+01:00", 4, "C", 42, "ok"));
  const std::optional<RunLogSummary> big = ReadRunLog(platform, kLog);
  EXPECT_EQ(big->skipped, 1);
  EXPECT_EQ(big->lastByLine.at(4).time, "2026-03-02T09:00:00.000+01:00");

  world.RemoveFile(kOldLog);
  world.File(kLog)->failReads = true;
  EXPECT_EQ(ReadRunLog(platform, kLog)->error, std::string("Cannot read ") + kLog);
  world.RemoveFile(kLog);
  world.MakeDirectory(kLog);
  EXPECT_FALSE(ReadRunLog(platform, kLog));
  EXPECT_EQ(platform.OpenFiles(), 0);
}

constexpr const char* kTwoItems =
    "<Backup>\r\npath=C:\\Apps\\Backup.exe\r\n</Backup>\r\n"
    "<Report>\r\npath=\\\\server\\share\\Report.exe\r\n</Report>\r\n";

TEST_F(CheckerTest, ReportsGiveEachLinesLastRunAndTheRecentFailures) {
  const std::string tasks =
      "# log\r\n30 8 * * * Backup\r\n31 8 * * * Report\r\n0 9 * * * Backup\r\n";
  world.WriteFile(kTasks, tasks);
  world.WriteFile(kLaunch, kTwoItems);
  const std::string text = Run({}).out, json = Run({"--json"}).out;
  world.WriteFile(kLog, Launch("2026-03-02T08:30:00.100+01:00", 2, "Backup", 2, "file not found") +
                            Launch("2026-03-02T08:31:00.100+01:00", 3, "Report", 42, "ok") +
                            "2026-03-02T08:32:00.000+01:00\tno-launch\t2026-03-02T08:32\t2\tBackup"
                            "\tthe launch file has no section for the item\r\n");
  const std::string logText = Run({}).out, logJson = Run({"--json"}).out;
  for (const char* expected : {
           "  run log      C:\\Tools\\lib\\pendulon.log (3 lines)\n",
           "        last run: 2026-03-02T08:32:00.000+01:00 (minute 2026-03-02T08:32) line 2 "
           "\"Backup\": launched nothing: the launch file has no section for the item\n",
           "        last run: 2026-03-02T08:31:00.100+01:00 (minute 2026-03-02T08:31) line 3 "
           "\"Report\": the shell answered 42 (ok) for C:\\Apps\\Report.exe\n",
           "        last run: none in the run log\n\nrecent failures in the run log, newest "
           "first:\n  2026-03-02T08:30:00.100+01:00  line 2 \"Backup\": the shell answered 2 "
           "(file not found) for C:\\Apps\\Backup.exe\n\n4 lines",
       }) {
    EXPECT_NE(logText.find(expected), std::string::npos) << expected << "\n---\n" << logText;
  }
  // Without the log, nothing of it shows.
  EXPECT_EQ(text.find("run log"), std::string::npos) << text;
  EXPECT_EQ(json.find("lastRun"), std::string::npos) << json;
  EXPECT_EQ(json.find("runLog"), std::string::npos) << json;

  JsonCheck check;
  ASSERT_TRUE(check.Valid(logJson)) << logJson;
  for (const char* expected : {
           "\"lastRun\":{\"time\":\"2026-03-02T08:32:00.000+01:00\",\"event\":\"no-launch\","
           "\"minute\":\"2026-03-02T08:32\",\"line\":2,\"item\":\"Backup\",\"reason\":\"the "
           "launch file has no section for the item\"}}",
           "\"lastRun\":{\"time\":\"2026-03-02T08:31:00.100+01:00\",\"event\":\"launch\","
           "\"minute\":\"2026-03-02T08:31\",\"line\":3,\"item\":\"Report\",\"file\":\"C:"
           "\\\\Apps\\\\"
           "Report.exe\",\"answer\":42,\"meaning\":\"ok\"}}",
           "\"lastRun\":null}",
           "\"runLog\":{\"files\":[\"C:\\\\Tools\\\\lib\\\\pendulon.log\"],\"records\":3,"
           "\"skipped\":0,\"error\":null,\"recentFailures\":[{\"time\":\"2026-03-02T08:30:00.100+"
           "01:00\",\"event\":\"launch\"",
       }) {
    EXPECT_NE(logJson.find(expected), std::string::npos) << expected << "\n---\n" << logJson;
  }
  EXPECT_EQ(std::count(check.strings.begin(), check.strings.end(), "lastRun"), 3);
}

TEST_F(CheckerTest, AMissingFileOnADriveIsAProblemOnlyWhereTheDrivesAreThisMachines) {
  world.MakeDirectory("C:\\Apps");
  world.WriteFile("C:\\Apps\\there.exe", "MZ");
  struct Case {
    const char* path;
    bool problemHere;  // when the drives are this machine's
  } cases[] = {
      {"C:\\Apps\\there.exe", false}, {"c:\\apps\\THERE.exe", false},
      {"C:\\Apps\\gone.exe", true},   {"D:\\gone.exe", true},
      {"d:/gone.exe", true},          {"\\\\server\\share\\gone.exe", false},
      {"http://x/gone.exe", false},   {"gone.exe", false},
      {"Apps\\gone.exe", false},      {"C:gone.exe", false},
  };
  for (const Case& c : cases) {
    world.WriteFile(kTasks, "* * * * * A\r\n");
    world.WriteFile(kLaunch, std::string("<A>\r\npath=") + c.path + "\r\n</A>\r\n");
    for (const bool here : {false, true}) {
      const FolderCheck check = CheckFolder(platform, "C:\\Tools", '\\', here);
      const bool problem = here && c.problemHere;
      EXPECT_EQ(check.ExitStatus(), problem ? 1 : 0) << c.path << " " << here;
      EXPECT_EQ(check.lines[0].verdict, problem ? Verdict::kLaunchesNothing : Verdict::kLaunches);
      EXPECT_EQ(
          check.lines[0].reason.find("the shell will answer: file not found") != std::string::npos,
          problem)
          << c.path;
    }
  }
  // The report still shows what the shell is handed.
  world.WriteFile(kLaunch, "<A>\r\npath=D:\\gone.exe\r\n</A>\r\n");
  std::ostringstream out, err;
  EXPECT_EQ(RunChecker(platform, {}, '\\', out, err, true), 1);
  EXPECT_NE(out.str().find("the shell will answer: file not found"), std::string::npos);
  EXPECT_NE(out.str().find("               file        D:\\gone.exe\n"), std::string::npos)
      << out.str();
}

}  // namespace
}  // namespace pendulon::sim
