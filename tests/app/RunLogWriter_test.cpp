// The run log on the simulated machine: its lines, its roll-over, and that nothing which
// happens to it reaches the executer.

#include "app/RunLogWriter.h"

#include <algorithm>
#include <string>
#include <vector>

#include "Version.h"
#include "app/Program.h"
#include "platform/HostSystemWrapper.h"
#include "runlog/RunLogFormat.h"
#include "support/SimScenario.h"

namespace pendulon::sim {
namespace {

using V = std::vector<std::string>;

const char* const kLog = "C:\\Tools\\lib\\pendulon.log";
const char* const kOldLog = "C:\\Tools\\lib\\pendulon.log.1";
constexpr std::size_t k1MiB = 1024 * 1024;

class RunLogTest : public ScenarioTest {
 protected:
  RunLogTest() {
    world.WriteFile(kTasks, "# every minute\r\n* * * * * A\r\n");
    world.WriteFile(kLaunch, "<A>\r\npath=C:\\Apps\\a.exe\r\nparams=x\ty\r\n</A>\r\n");
  }

  // The log's lines without their time stamps; each must begin with one.
  V Lines(const char* path = kLog) {
    V lines;
    if (!world.Exists(path))
      return lines;
    const std::string text = world.Contents(path);
    std::size_t start = 0;
    while (start < text.size()) {
      const std::size_t end = text.find("\r\n", start);
      EXPECT_NE(end, std::string::npos) << "every line ends in CR LF";
      if (end == std::string::npos)
        break;
      const std::string line = text.substr(start, end - start);
      EXPECT_EQ(line.size() > 29 && line[29] == '\t', true) << line;
      EXPECT_EQ(line.substr(23, 6), "+00:00") << line;
      lines.push_back(line.substr(30));
      start = end + 2;
    }
    return lines;
  }
};

TEST_F(RunLogTest, ALogThatExistsRecordsTheRunFromStartToEnd) {
  world.WriteFile(kLog, "");
  world.shellAnswer = [](const ShellRecord& r) {
    return std::intptr_t{r.localTime.minute == 17 ? 42 : 2};
  };
  world.shellStall = [](const ShellRecord&) { return 15; };
  world.At(At(10, 17, 20),
           [this] { world.WriteFile(kTasks, "* * * * * A\r\n\r\n* * * * * B\r\n"); });
  FamilyLeavesAt(10, 18, 30);
  EXPECT_EQ(RunToEnd(), 0);
  const std::string start =
      std::string("start\t") + kVersion + "\tC:\\\\Tools\\\\pendulon.exe\t500\taccepted";
  EXPECT_EQ(Lines(),
            (V{
                start,
                // Started at 10:15:30: the wait ends in 10:16, so 10:17 is walked first.
                "load\tfirst\tC:\\\\Tools\\\\lib\\\\tasks.qef\t2\t1\t2026-03-05T10:17",
                "launch\t2026-03-05T10:17\t2\tA\topen\tC:\\\\Apps\\\\a.exe\tx\\ty\tC:"
                "\\\\Apps\t42\tok\t15",
                "load\treload\tC:\\\\Tools\\\\lib\\\\tasks.qef\t3\t2\t",
                "launch\t2026-03-05T10:18\t1\tA\topen\tC:\\\\Apps\\\\a.exe\tx\\ty\tC:"
                "\\\\Apps\t2\tfile not found\t15",
                "no-launch\t2026-03-05T10:18\t3\tB\tthe launch file has no section for the item",
                "end\tfamily gone\t" + std::to_string(endedAt - At(10, 15, 30) - 250),
            }));
}

TEST_F(RunLogTest, AMinutePassedOverWhileTheLinesLaunchWaitsInTheShellSaysSo) {
  world.WriteFile(kLog, "");
  world.shellBox = [](const ShellRecord& r) { return r.localTime.minute == 17 ? 90 * kSecond : 0; };
  FamilyLeavesAt(10, 19, 30);
  RunToEnd();
  const V lines = Lines();
  const auto launches = std::count_if(
      lines.begin(), lines.end(), [](const std::string& l) { return l.rfind("launch\t", 0) == 0; });
  EXPECT_EQ(launches, 2) << "10:17, whose box closes at 10:18:30, and 10:19";
  EXPECT_NE(std::find(lines.begin(), lines.end(),
                      "no-launch\t2026-03-05T10:18\t2\tA\t"
                      "its launch at 10:17:00 is still waiting in the shell"),
            lines.end());
}

TEST_F(RunLogTest, LoadsThatFailAndBoxesAreRecordedWithTheirTimes) {
  world.WriteFile(kLog, "");
  // The launch file cannot be read at 10:17; the task file is held at start-up, then freed.
  world.LockForWriting(kTasks, true);
  world.At(At(10, 16, 40), [this] { world.LockForWriting(kTasks, false); });
  world.At(At(10, 16, 50), [this] { world.LockForWriting(kLaunch, true); });
  world.boxAnswer = [](const BoxRecord&) { return 3 * kSecond; };
  FamilyLeavesAt(10, 17, 30);
  RunToEnd();
  const V lines = Lines();
  const std::string cannot = "Cannot open file C:\\\\Tools\\\\lib\\\\";
  const V expected = {
      "load-failed\tfirst\tC:\\\\Tools\\\\lib\\\\tasks.qef\t" + cannot +
          "tasks.qef\t2026-03-05T10:17",
      "box-open\t" + cannot + "tasks.qef.\t",
      "box-closed\t" + cannot + "tasks.qef.\t2026-03-05T10:16:00.200+00:00",
      "load\tretry\tC:\\\\Tools\\\\lib\\\\tasks.qef\t2\t1\t",
      "no-launch\t2026-03-05T10:17\t2\tA\t" + cannot + "launch.qef",
      // Line 2's walk raised it; the task file's load above was no walk's.
      "box-open\t" + cannot + "launch.qef.\t2",
      "box-closed\t" + cannot + "launch.qef.\t2026-03-05T10:17:00.200+00:00",
  };
  ASSERT_GE(lines.size(), expected.size() + 1);
  EXPECT_EQ(V(lines.begin() + 1, lines.begin() + 1 + static_cast<long>(expected.size())), expected);
  EXPECT_EQ(world.Contents(kLog).substr(0, 23), "2026-03-05T10:15:30.250");
}

TEST_F(RunLogTest, EachWayOfEndingIsNamed) {
  struct Case {
    const char* reason;
    std::function<void(SimWorld&)> end;
  } const cases[] = {
      {"family gone",
       [](SimWorld& w) {
         w.RemoveWindow(w.FindWindow("TfrmQuillmar", "Quillmar v.2.5 Final Release")->handle);
       }},
      {"close request",
       [](SimWorld& w) {
         w.SendClose(w.FindWindow("TfrmPendulon", "Quillmar v.2.5 Final Release")->handle);
       }},
      {"session end", [](SimWorld& w) { w.EndSession(); }},
  };
  for (const Case& c : cases) {
    Scenario s(false);
    SimWorld& w = s.world;
    w.SetLocalTime(2026, 3, 5, 10, 16, 30);
    w.AddWindow("TfrmQuillmar", "Quillmar v.2.5 Final Release");
    w.WriteFile(kTasks, "");
    w.WriteFile(kLog, "");
    w.At(w.UtcOf(2026, 3, 5, 10, 17, 10), [&w, &c] { c.end(w); });
    s.RunToEnd();
    const std::string log = w.Contents(kLog);
    EXPECT_NE(log.find(std::string("\tend\t") + c.reason + "\t"), std::string::npos) << log;
    EXPECT_EQ(log.find("\tend\t"), log.rfind("\tend\t")) << "one end line";
  }
}

TEST_F(RunLogTest, ARefusedStartIsRecordedWhenTheLogExists) {
  world.WriteFile(kLog, "");
  RunToEnd("pendulon.exe");
  const V lines = Lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].substr(lines[0].rfind('\t')), "\trefused");
  EXPECT_EQ(lines[1].substr(0, 9), "end\tstop\t");
}

TEST_F(RunLogTest, WithoutTheFileNothingIsWrittenAndTurningItOffStopsTheLines) {
  FamilyLeavesAt(10, 19, 30);
  // Turned on after the first launch, off again after the second.
  V whileOn;
  world.At(At(10, 17, 30), [this] { world.WriteFile(kLog, ""); });
  world.At(At(10, 18, 30), [this, &whileOn] {
    whileOn = Lines();
    world.RemoveFile(kLog);
  });
  RunToEnd();
  EXPECT_EQ(world.launches.size(), 3u);
  ASSERT_EQ(whileOn.size(), 1u);
  EXPECT_EQ(whileOn[0].substr(0, 24), "launch\t2026-03-05T10:18\t");
  EXPECT_FALSE(world.Exists(kLog)) << "never created again";
  int opens = 0;
  for (const std::string& path : world.opened)
    opens += path.find("pendulon.log") != std::string::npos;
  EXPECT_EQ(opens, 1) << "opened only for the one line written while it existed";
}

TEST_F(RunLogTest, PastOneMebibyteTheNextEventRollsTheLogOver) {
  for (const std::size_t size : {k1MiB, k1MiB + 1}) {
    Scenario s;
    SimWorld& w = s.world;
    w.WriteFile(kTasks, "* * * * * A\r\n");
    const std::string full(size, '#');
    w.WriteFile(kLog, full);
    w.WriteFile(kOldLog, "older");
    w.SetDeadline(w.UtcOf(2026, 3, 5, 10, 16, 30));
    s.RunToEnd();
    // Exactly 1 MiB has not grown past it: the first event still goes to it, the next one rolls.
    const std::string old = w.Contents(kOldLog);
    EXPECT_TRUE(old.compare(0, size, full) == 0) << size << ": the older .1 is replaced";
    EXPECT_EQ(old.find("\tstart\t") != std::string::npos, size == k1MiB) << size;
    const std::string fresh = w.Contents(kLog);
    EXPECT_EQ(fresh.find('#'), std::string::npos) << "the new log holds only new lines";
    EXPECT_NE(fresh.find("\tload\t"), std::string::npos) << size;
  }
}

// Whatever the log's trouble, the launches, their times and the boxes are those of a run with no
// log at all.
TEST_F(RunLogTest, NothingThatHappensToTheLogDisturbsTheExecuter) {
  const auto launchTimes = [](const SimWorld& w) {
    std::vector<std::int64_t> times;
    for (const ShellRecord& r : w.launches) times.push_back(r.at);
    return times;
  };
  std::string logAfter;
  const auto runWith = [&](const std::function<void(SimWorld&)>& fault) {
    Scenario s;
    SimWorld& w = s.world;
    w.WriteFile(kTasks, "* * * * * A\r\n");
    w.WriteFile(kLaunch, "<A>\r\npath=C:\\a.exe\r\n</A>\r\n");
    w.SetDeadline(w.UtcOf(2026, 3, 5, 10, 20, 30));
    fault(w);
    s.RunToEnd();
    EXPECT_TRUE(w.MessageBoxes().empty());
    logAfter = !w.Exists(kLog)           ? "absent"
               : w.File(kLog)->directory ? "directory"
                                         : w.Contents(kLog).substr(0, 1);
    return launchTimes(w);
  };
  const std::vector<std::int64_t> baseline = runWith([](SimWorld&) {});
  ASSERT_EQ(baseline.size(), 4u);
  const std::string big(k1MiB + 1, 'x');
  struct Case {
    const char* fault;
    std::function<void(SimWorld&)> make;
    const char* logAfter;  // "" for a file left empty, else what it begins with
  } const cases[] = {
      {"held open by another program",
       [](SimWorld& w) {
         w.WriteFile(kLog, "");
         w.File(kLog)->heldOpen = true;
       },
       ""},
      {"read-only",
       [](SimWorld& w) {
         w.WriteFile(kLog, "");
         w.File(kLog)->readOnly = true;
       },
       ""},
      {"a directory", [](SimWorld& w) { w.MakeDirectory(kLog); }, "directory"},
      {"a full disk",
       [](SimWorld& w) {
         w.WriteFile(kLog, "");
         w.diskFull = true;
       },
       ""},
      {"a rename that fails",
       [&big](SimWorld& w) {
         w.WriteFile(kLog, big);
         w.File(kLog)->refuseRename = true;
       },
       "x"},
      {"read-only past 1 MiB",
       [&big](SimWorld& w) {
         w.WriteFile(kLog, big);
         w.File(kLog)->readOnly = true;
       },
       "x"},
      {"the .1 is read-only",
       [&big](SimWorld& w) {
         w.WriteFile(kLog, big);
         w.WriteFile(kOldLog, "o");
         w.File(kOldLog)->readOnly = true;
       },
       "x"},
      {"deleted between two events",
       [](SimWorld& w) {
         w.WriteFile(kLog, "");
         w.At(w.UtcOf(2026, 3, 5, 10, 17, 0, 100), [&w] { w.RemoveFile(kLog); });
       },
       "absent"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fault);
    EXPECT_EQ(runWith(c.make), baseline);
    EXPECT_EQ(logAfter, c.logAfter) << "the log is left as it was";
  }
}

// Whatever keeps the log from rolling over, the lines go on into the old file.
TEST_F(RunLogTest, ALogThatCannotRollOverKeepsGrowing) {
  SimPlatform executer(world, kExe, kAccepted), reader(world, kExe, "reader");
  struct Case {
    const char* why;
    std::function<void()> make;
  } const cases[] = {
      {"a rename that fails", [&] { world.File(kLog)->refuseRename = true; }},
      {"another program writes it sharing no renaming", [&] { world.LockForWriting(kLog, true); }},
      {"a reader holds it sharing no renaming",
       [&] { reader.OpenToRead(kLog, kShareRead | kShareWrite); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    world.RemoveFile(kOldLog);
    world.RemoveFile(kLog);
    world.WriteFile(kLog, std::string(k1MiB + 1, 'x'));
    c.make();
    RunLogWriter log(executer);
    log.Start(true);
    EXPECT_FALSE(world.Exists(kOldLog));
    EXPECT_EQ(world.Contents(kLog).substr(k1MiB + 1, 29 + 6),
              "2026-03-05T10:15:30.250+00:00\tstart");
  }
}

// Two executers on one folder, both past 1 MiB: the second renames the file it measured, which
// the first has already moved, and never the fresh log the first has begun.
TEST_F(RunLogTest, TwoExecutersRollingOverAtOnceKeepBothFiles) {
  class RollsOverFirst final : public HostSystemWrapper {
   public:
    RollsOverFirst(HostSystem& base, RunLogWriter& first)
        : HostSystemWrapper(base), first_(first) {}
    bool RenameOpenFile(FileHandle file, const AnsiString& to) override {
      first_.BoxOpened("first", 0);
      return HostSystemWrapper::RenameOpenFile(file, to);
    }

   private:
    RunLogWriter& first_;
  };
  const std::string full(k1MiB + 1, 'x');
  world.WriteFile(kLog, full);
  world.WriteFile(kOldLog, "older");
  SimPlatform platform(world, kExe, kAccepted), other(world, kExe, kAccepted);
  RunLogWriter first(other);
  RollsOverFirst host(platform, first);
  RunLogWriter second(host);
  second.BoxOpened("second", 0);
  EXPECT_EQ(world.Contents(kOldLog), full);
  EXPECT_EQ(Lines(), (V{"box-open\tfirst\t", "box-open\tsecond\t"}));
  EXPECT_EQ(platform.OpenFiles() + other.OpenFiles(), 0);
}

// A value from the launch file of any length makes a field of at most 4 KiB, so the line stays
// short and the log rolls over near 1 MiB.
TEST_F(RunLogTest, ALongValueIsCutAt4KiBSoTheRollOverHolds) {
  world.WriteFile(kLaunch,
                  "<A>\r\npath=C:\\a.exe\r\nparams=" + std::string(k1MiB, 'p') + "\r\n</A>\r\n");
  world.WriteFile(kLog, std::string(k1MiB - 100, 'x'));
  FamilyLeavesAt(10, 18, 30);
  RunToEnd();
  ASSERT_TRUE(world.Exists(kOldLog));
  EXPECT_LT(world.Contents(kLog).size(), 64 * 1024) << "three launches and the end";
  const V lines = Lines();
  const auto launch = std::find_if(lines.begin(), lines.end(), [](const std::string& l) {
    return l.substr(0, 7) == "launch\t";
  });
  ASSERT_NE(launch, lines.end());
  std::size_t longest = 0;
  for (std::size_t at = 0, tab = 0; tab != std::string::npos; at = tab + 1) {
    tab = launch->find('\t', at);
    longest = std::max(longest, launch->substr(at, tab - at).size());
  }
  EXPECT_EQ(longest, 4u * 1024);
  EXPECT_NE(launch->find(std::string(100, 'p') + "\\...\t"), std::string::npos);
}

}  // namespace
}  // namespace pendulon::sim
