#include "checker/log/RunLogReader.h"

#include <functional>
#include <iterator>
#include <set>
#include <sstream>
#include <string>

#include "checker/CheckerFixture.h"
#include "checker/ReportJson.h"
#include "platform/CheckingHostWrapper.h"

namespace pendulon::sim {
namespace {

constexpr const char* kLog = "C:\\Tools\\lib\\pendulon.log";
constexpr const char* kOldLog = "C:\\Tools\\lib\\pendulon.log.1";

std::string Launch(const char* time, int line, const char* item, int answer, const char* meaning) {
  return std::string(time) + "\tlaunch\t2026-03-02T08:31\t" + std::to_string(line) + "\t" + item +
         "\topen\tC:\\\\Apps\\\\" + item + ".exe\t\tC:\\\\Apps\t" + std::to_string(answer) + "\t" +
         meaning + "\t31\r\n";
}

TEST_F(CheckerTest, TheOlderLogIsReadFirstAndTheNewestFailuresComeFirst) {
  std::string old, current;
  for (int i = 0; i < 12; ++i)
    old += Launch(("2026-03-01T08:00:00.0" + std::to_string(10 + i) + "+01:00").c_str(), 2, "A", 2,
                  "file not found");
  old += Launch("2026-03-01T09:00:00.000+01:00", 3, "B", 42, "ok");
  current += "2026-03-02T08:00:00.000+01:00\tno-launch\t2026-03-02T08:00\t2\tA\tno path=\r\n";
  current += "garbage\r\n";
  current += Launch("2026-03-02T08:00:30.000+01:00", 9, "Z", 42, "ok");  // not a task line now
  current += "2026-03-02T08:00:40.000+01:00\tno-launch\t2026-03-02T08:00\t0\tA\tno path=\r\n";
  current += "2026-03-02T08:01:00.000+01:00\tbox-open\tCannot open file x.\r\n";
  current += Launch("2026-03-02T08:02:00.000+01:00", 3, "B", 42, "ok").substr(0, 40);  // cut
  world.WriteFile(kOldLog, old);
  world.WriteFile(kLog, current);
  world.LockForWriting(kLog, true);  // the executer is appending right now

  const std::set<int> taskLines = {2, 3, 4};
  const std::optional<RunLogSummary> log = ReadRunLog(platform, kLog, taskLines);
  ASSERT_TRUE(log);
  ASSERT_EQ(log->files.size(), 2u);
  EXPECT_EQ(log->files[0].path, kOldLog);
  EXPECT_EQ(log->files[1].path, kLog);
  EXPECT_EQ(log->records, 16);
  EXPECT_EQ(log->skipped, 3);
  EXPECT_EQ(log->malformed.size(), 3u);
  EXPECT_EQ(log->malformed[0].file, 1u);
  EXPECT_EQ(log->malformed[0].line, 2);
  EXPECT_EQ(log->malformed[2].line, 6);
  EXPECT_EQ(log->error, "");
  EXPECT_EQ(log->lastByLine.size(), 2u) << "only the task lines of the task file";
  EXPECT_EQ(log->lastByLine.at(2).event, LogEvent::kNoLaunch);
  EXPECT_EQ(log->lastByLine.at(3).time, "2026-03-01T09:00:00.000+01:00");
  // Twelve failures alike are one, counted: line 2's launch of A, then the box.
  ASSERT_EQ(log->failures.size(), 2u);
  EXPECT_EQ(log->failures[0].event, LogEvent::kBoxOpen);
  EXPECT_EQ(log->failures[0].repeats, 1);
  EXPECT_EQ(log->failures[1].time, "2026-03-01T08:00:00.021+01:00");
  EXPECT_EQ(log->failures[1].repeats, 12);
  EXPECT_EQ(log->failures[1].firstTime, "2026-03-01T08:00:00.010+01:00");

  // Of a log that could not roll over, the end is read; where reading begins is no line.
  world.WriteFile(kLog, std::string(17 << 20, 'x') + "\r\n" +
                            Launch("2026-03-02T09:00:00.000+01:00", 4, "C", 42, "ok"));
  const std::optional<RunLogSummary> big = ReadRunLog(platform, kLog, taskLines);
  EXPECT_EQ(big->skipped, 0);
  EXPECT_TRUE(big->files[1].tail);
  EXPECT_EQ(big->lastByLine.at(4).time, "2026-03-02T09:00:00.000+01:00");

  world.RemoveFile(kOldLog);
  world.File(kLog)->failReads = true;
  EXPECT_EQ(ReadRunLog(platform, kLog, taskLines)->error, std::string("Cannot read ") + kLog);
  EXPECT_EQ(platform.OpenFiles(), 0);
}

constexpr const char* kTwoItems =
    "<Backup>\r\npath=C:\\Apps\\Backup.exe\r\n</Backup>\r\n"
    "<Report>\r\npath=\\\\server\\share\\Report.exe\r\n</Report>\r\n";

// The last run in the readable form of the next times, under lines that can fire; a failed last
// launch is a problem; the log read with either line end, its malformed lines named.
TEST_F(CheckerTest, ReportsGiveEachLinesLastRunAndTheRecentFailures) {
  const std::string tasks =
      "# log\r\n30 8 * * * Backup\r\n31 8 * * * Report\r\n0 9 * * * Backup\r\n"
      "0 9 31 2 * Backup\r\n";
  world.WriteFile(kTasks, tasks);
  world.WriteFile(kLaunch, kTwoItems);
  const std::string text = Run({}).out, json = Run({"--json"}).out;
  std::string lf = Launch("2026-03-02T09:00:00.100+01:00", 4, "Backup", 3, "path not found") +
                   "not a line of the log\r\n";
  std::erase(lf, '\r');
  world.WriteFile(kLog, Launch("2026-03-02T08:30:00.100+01:00", 2, "Backup", 2, "file not found") +
                            Launch("2026-03-02T08:33:00.100+01:00", 3, "Report", 42, "ok") +
                            "2026-03-02T08:32:00.000+01:00\tno-launch\t2026-03-02T08:32\t2\tBackup"
                            "\tthe launch file has no section for the item\r\n" +
                            lf);
  const Outcome logText = Run({}), logJson = Run({"--json"});
  for (const char* expected : {
           "  run log      C:\\Tools\\lib\\pendulon.log (4 lines, 1 malformed skipped: line 5)\n",
           "        last run: Mon 2026-03-02 08:32 line 2 \"Backup\": launched nothing: the launch "
           "file has no section for the item\n",
           "        last run: Mon 2026-03-02 08:33 (for the minute Mon 2026-03-02 08:31) line 3 "
           "\"Report\": the shell answered 42 (ok) for C:\\Apps\\Report.exe\n",
           "        PROBLEM: fires at 9:00 every day, but its last launch in the run log failed: "
           "the shell "
           "answered 3 (path not found)\n",
           "item \"Backup\"\n        PROBLEM: never matches: day \"31\"",
           "\n\nrecent failures in the run log, newest first:\n"
           "  Mon 2026-03-02 09:00  line 4 \"Backup\": the shell answered 3 (path not found) for "
           "C:\\Apps\\Backup.exe\n"
           "  Mon 2026-03-02 08:30  line 2 \"Backup\": the shell answered 2 (file not found) for "
           "C:\\Apps\\Backup.exe\n\n5 lines",
           "have problems (lines 4 and 5).\n",
       }) {
    EXPECT_NE(logText.out.find(expected), std::string::npos) << expected << "\n---\n"
                                                             << logText.out;
  }
  EXPECT_EQ(logText.out.find("none in the run log"), std::string::npos) << logText.out;
  EXPECT_EQ(logText.status, 1);
  world.RemoveFile(kLog);
  EXPECT_EQ(Run({}).status, 1);  // line 5 never matches; line 4 is no problem without the log
  // Without the log, nothing of it shows.
  EXPECT_EQ(text.find("run log"), std::string::npos) << text;
  const Json members = ParseReport(json).flatten();  // a member for each leaf, named by its path
  for (const auto& member : members.items()) {
    EXPECT_EQ(member.key().find("lastRun"), std::string::npos) << member.key();
    EXPECT_EQ(member.key().find("runLog"), std::string::npos) << member.key();
  }

  Json report = ParseReport(logJson.out);
  Json& lines = report["lines"];
  ASSERT_EQ(lines.size(), 5u);
  // Each of the four task lines ends with its last run, and only they have one.
  int lastRuns = 0;
  for (const Json& line : lines) {
    const bool task = line.at("kind") == "task";
    EXPECT_EQ(line.contains("lastRun"), task) << line;
    if (task) {
      EXPECT_EQ(std::prev(line.end()).key(), "lastRun") << line;
      ++lastRuns;
    }
  }
  EXPECT_EQ(lastRuns, 4);
  EXPECT_EQ(lines[1]["lastRun"], Json::parse(R"({"time":"2026-03-02T08:32:00.000+01:00",
      "event":"no-launch","minute":"2026-03-02T08:32","line":2,"item":"Backup",
      "reason":"the launch file has no section for the item"})"));
  EXPECT_EQ(lines[3]["verdict"], "launches");
  EXPECT_EQ(lines[3]["problem"], true);
  EXPECT_TRUE(lines[4]["lastRun"].is_null());
  EXPECT_EQ(report["runLog"], Json::parse(R"({"files":["C:\\Tools\\lib\\pendulon.log"],
      "lastSixteenMiBOnly":[],"notRead":[],"records":4,"skipped":1,
      "firstSkippedLines":[{"file":"C:\\Tools\\lib\\pendulon.log","line":5}],"error":null,
      "cannotWrite":null,"recentFailures":[
        {"time":"2026-03-02T09:00:00.100+01:00","event":"launch","minute":"2026-03-02T08:31",
         "line":4,"item":"Backup","file":"C:\\Apps\\Backup.exe","answer":3,
         "meaning":"path not found"},
        {"time":"2026-03-02T08:30:00.100+01:00","event":"launch","minute":"2026-03-02T08:31",
         "line":2,"item":"Backup","file":"C:\\Apps\\Backup.exe","answer":2,
         "meaning":"file not found"}]})"));
}

// A host that counts the bytes it reads, to show what the reader takes from a file, and that
// may let the file grow with each read, as while the executer appends.
class CountingHost final : public CheckingHostWrapper {
 public:
  using CheckingHostWrapper::CheckingHostWrapper;
  bool Read(FileHandle file, void* buffer, std::uint32_t count, std::uint32_t& got) override {
    const bool ok = CheckingHostWrapper::Read(file, buffer, count, got);
    bytes += got;
    if (afterRead)
      afterRead();
    return ok;
  }
  std::uint64_t bytes = 0;
  std::function<void()> afterRead;
};

// A folder or a device of the log's name is named as not read and never read from; of a
// file, the last 16 MiB at most are read, however long it is.
TEST_F(CheckerTest, OnlyFilesAreReadAndOfThemTheirLast16MiB) {
  const std::uint64_t k16MiB = 16 * 1024 * 1024;
  const std::string line = Launch("2026-03-02T08:30:00.100+01:00", 1, "A", 42, "ok");
  const std::string lines = [&] {
    std::string text;
    while (text.size() < 40 * 1024 * 1024) text += line;
    return text;
  }();
  // The lines that begin and end in the last 16 MiB.
  const std::string wholeLines =
      " (its last 16 MiB) (" + std::to_string((k16MiB - 1) / line.size()) + " lines)\n";
  CountingHost host(platform);
  struct Case {
    const char* what;
    std::function<void()> make;
    const char* header;  // what the run log line says after the path
    std::uint64_t mostRead;
  } const cases[] = {
      {"a folder", [&] { world.MakeDirectory(kLog); }, " not read: it is a folder, not a file\n",
       0},
      {"a device",
       [&] {
         world.WriteFile(kLog, lines);
         world.File(kLog)->kind = FileKind::kDevice;
       },
       " not read: it is a device, not a file\n", 0},
      {"40 MiB of a file", [&] { world.WriteFile(kLog, lines); }, wholeLines.c_str(), k16MiB},
      {"a file that grows to 40 MiB while it is read",
       [&] {
         world.WriteFile(kLog, lines.substr(0, 64 * line.size()));
         host.afterRead = [&] {
           if (world.File(kLog)->bytes.size() < lines.size())
             world.File(kLog)->bytes += lines.substr(0, 1024 * line.size());
         };
       },
       " (", k16MiB},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    world.RemoveFile(kLog);
    world.WriteFile(kTasks, "* * * * * A\r\n");
    world.WriteFile(kLaunch, "<A>\r\npath=C:\\a.exe\r\n</A>\r\n");
    host.bytes = 0;
    host.afterRead = nullptr;
    c.make();
    std::ostringstream out, err;
    EXPECT_EQ(RunChecker(host, {}, '\\', out, err), 0);
    EXPECT_NE(out.str().find(std::string("  run log      ") + kLog + c.header), std::string::npos)
        << out.str();
    EXPECT_LE(host.bytes, c.mostRead + 64 * 1024) << "the task and launch files";
    EXPECT_EQ(out.str().find("last run") != std::string::npos, c.mostRead > 0);
  }
}

// A line's last run is one the line made as it reads now: the task file saved after the load
// whose table made a record leaves the record to the line as it was. The line was
// "* * * * * Marker" until 09:07:40, then "8 9 * * * Marker".
TEST_F(CheckerTest, ALastRunIsTheRunOfTheLineAsItReadsNow) {
  const auto stamped = [](const char* time, const std::string& rest) {
    return std::string("2026-03-02T") + time + "+00:00\t" + rest + "\r\n";
  };
  const std::string start =
      stamped("09:07:27.000", "start\t2.5\tC:\\\\Tools\\\\pendulon.exe\t1\taccepted");
  const auto load = [&](const char* time, const char* kind) {
    return stamped(time, std::string("load\t") + kind + "\tC:\\\\Tools\\\\lib\\\\tasks.qef\t1\t1");
  };
  const auto launch = [&](const char* time, const char* minute) {
    return stamped(time, std::string("launch\t2026-03-02T") + minute +
                             "\t1\tMarker\topen\tC:\\\\m.exe\t\tC:\\\\\t42\tok\t3");
  };
  const std::string ran = "last run: Mon 2026-03-02 09:08 line 1 \"Marker\"";
  const std::string changed =
      "last run: none since the task file was saved at Mon 2026-03-02 09:07:40";
  const struct Case {
    const char* name;
    std::string log;
    std::string said;
  } cases[] = {
      {"saved after the last load",
       start + load("09:07:27.100", "first") + launch("09:08:00.200", "09:08"), changed},
      {"reloaded, then run",
       start + load("09:07:27.100", "first") + load("09:07:41.000", "reload") +
           launch("09:08:00.200", "09:08"),
       ran},
      {"reloaded, not run since",
       start + load("09:07:27.100", "first") + launch("09:07:00.200", "09:07") +
           load("09:07:41.000", "reload"),
       changed},
      {"a log without loads cannot tell", launch("09:08:00.200", "09:08"), ran},
  };
  // 09:07:40 on the world's clock, which reads 10:05:30 UTC.
  const std::int64_t saved = world.Now() - (57 * 60 + 50) * 1000;
  for (const Case& c : cases) {
    world.WriteFile(kTasks, "8 9 * * * Marker\r\n", saved);
    world.WriteFile(kLaunch, "<Marker>\r\npath=C:\\m.exe\r\n</Marker>\r\n");
    world.WriteFile("C:\\Tools\\lib\\pendulon.log", c.log);
    const Outcome outcome = Run({"C:\\Tools"});
    EXPECT_NE(outcome.out.find(c.said), std::string::npos) << c.name << "\n" << outcome.out;
  }
}

// Started at 09:07:27, Pendulon waits for second 00 until 09:08 and walks from 09:09: a line due
// at 09:08 says so in its last run, and the header and --follow say which minute it walks first.
// The first load names that minute; a load of an older log, which does not, was written in the
// minute the wait ended; a load that took 70 s on a slow share is written a minute later.
TEST_F(CheckerTest, AStartSaysWhichMinuteItWalksFirstAndWhatItPassedOver) {
  const std::string start =
      "2026-03-02T09:07:27.000+00:00\tstart\t2.5\tC:\\\\Tools\\\\pendulon.exe\t7\taccepted\r\n";
  const std::string load = "\tload\tfirst\tC:\\\\Tools\\\\lib\\\\tasks.qef\t1\t1";
  const struct {
    const char* name;
    std::string loadLine;
  } cases[] = {
      {"an older log", "2026-03-02T09:08:00.100+00:00" + load + "\r\n"},
      {"the load names it", "2026-03-02T09:08:00.100+00:00" + load + "\t2026-03-02T09:09\r\n"},
      {"a slow load names it", "2026-03-02T09:09:10.000+00:00" + load + "\t2026-03-02T09:09\r\n"},
  };
  for (const auto& c : cases) {
    world.WriteFile(kTasks, "8 9 * * * Marker\r\n", world.Now() - 86'400'000);
    world.WriteFile(kLaunch, "<Marker>\r\npath=C:\\m.exe\r\n</Marker>\r\n");
    world.WriteFile("C:\\Tools\\lib\\pendulon.log", start + c.loadLine);
    const std::string report = Run({"C:\\Tools"}).out;
    for (const char* said :
         {"running since 09:07 according to the run log; the first minute it walked was 09:09",
          "its Mon 2026-03-02 09:08 launch did not happen: Pendulon started at 09:07:27, and walks "
          "from 09:09\n"})
      EXPECT_NE(report.find(said), std::string::npos) << c.name << "\n" << said << "\n" << report;
    const std::string follow = Run({"--follow", "C:\\Tools"}).out;
    EXPECT_NE(follow.find("1 of them task lines; the first minute it walks is 09:09"),
              std::string::npos)
        << c.name << "\n"
        << follow;
  }
}

// An error box that a line's walk raised names the line among the failures; one with a line that
// is no number is no line the executer writes.
TEST_F(CheckerTest, AnErrorBoxNamesTheLineWhoseWalkRaisedIt) {
  world.WriteFile(kTasks, "# short\r\n* * * * Marker\r\n", world.Now() - 86'400'000);
  world.WriteFile(kLaunch, "<Marker>\r\npath=C:\\m.exe\r\n</Marker>\r\n");
  world.WriteFile("C:\\Tools\\lib\\pendulon.log",
                  "2026-03-02T10:05:00.200+00:00\tbox-open\tList index out of bounds (4)\t2\r\n");
  const std::string report = Run({"C:\\Tools"}).out;
  EXPECT_NE(report.find("error box from the walk at line 2: List index out of bounds (4)"),
            std::string::npos)
      << report;
  world.WriteFile("C:\\Tools\\lib\\pendulon.log",
                  "2026-03-02T10:05:00.200+00:00\tbox-open\tList index out of bounds (4)\tx\r\n");
  EXPECT_EQ(Run({"C:\\Tools"}).out.find("List index out of bounds (4)\n"), std::string::npos);
}

// A second copy that stops at once writes its start, its first load and its stop; with those
// lines lost, or while it waits for second 00, the copy that runs is still the one that loaded.
// A lone start before its first load is in its wait: started at 10:05:10 (the world's clock reads
// 10:05:30), it walks from 10:07; one an hour back without its load lost it, and says nothing.
TEST_F(CheckerTest, TheCopyThatRanIsTheOneThatLoadedTheTaskFile) {
  const auto line = [](const char* at, const std::string& rest) {
    return std::string("2026-03-02T") + at + "+00:00\t" + rest + "\r\n";
  };
  const auto start = [&](const char* at, const char* process) {
    return line(at,
                std::string("start\t2.5\tC:\\\\Tools\\\\pendulon.exe\t") + process + "\taccepted");
  };
  const std::string first =
      start("09:34:28.825", "264") +
      line("09:35:00.200", "load\tfirst\tC:\\\\Tools\\\\lib\\\\tasks.qef\t1\t1\t2026-03-02T09:36");
  const std::string second = start("09:36:09.312", "312");
  const struct {
    const char* name;
    std::string log;
    bool window;
    std::string said, notSaid;
  } cases[] = {
      {"its lines lost, then the family gone",
       first + second +
           line("09:37:58.203", "load\treload\tC:\\\\Tools\\\\lib\\\\tasks.qef\t1\t1\t") +
           line("09:38:03.783", "end\tfamily gone\t215023"),
       false, "last started 09:34, ended 09:38 (the family's windows were gone)", "09:36,"},
      {"still in its wait", first + second, true,
       "running since 09:34 according to the run log; the first minute it walked was 09:36",
       "it waits"},
      {"the first copy gone without a word, the second running",
       first + second +
           line("09:37:00.200",
                "load\tfirst\tC:\\\\Tools\\\\lib\\\\tasks.qef\t1\t1\t2026-03-02T09:38"),
       true, "running since 09:36 according to the run log; the first minute it walked was 09:38",
       "it waits"},
      {"a lone start in its wait", start("10:05:10.000", "7"), true,
       "; it waits for second 00, and the first minute it walks is 10:07", "it walked"},
      {"a lone start that lost its load", start("09:05:10.000", "7"), true,
       "running since 09:05 according to the run log", "first minute"},
  };
  for (const auto& c : cases) {
    world.WriteFile(kTasks, "* * * * * Marker\r\n", world.Now() - 86'400'000);
    world.WriteFile(kLaunch, "<Marker>\r\npath=C:\\m.exe\r\n</Marker>\r\n");
    world.WriteFile("C:\\Tools\\lib\\pendulon.log", c.log);
    if (c.window)
      world.AddWindow("TfrmPendulon", "Quillmar v.2.5 Final Release");
    const std::string report = Run({"C:\\Tools"}).out;
    EXPECT_NE(report.find(c.said), std::string::npos) << c.name << "\n" << report;
    EXPECT_EQ(report.find(c.notSaid), std::string::npos) << c.name << "\n" << report;
  }
}

}  // namespace
}  // namespace pendulon::sim
