#include "scheduler/TaskScheduler.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "launcher/RunItem.h"
#include "platform/Exceptions.h"
#include "platform/Files.h"
#include "support/SimFixture.h"

namespace pendulon::sim {
namespace {

using V = std::vector<std::string>;

class TaskSchedulerTest : public SimTest {
 protected:
  TaskSchedulerTest() {
    world.SetLocalTime(2026, 3, 5, 10, 15, 30, 250);
    world.WriteFile(
        kLaunch, "<A>\r\npath=C:\\Apps\\a.exe\r\n</A>\r\n<B>\r\npath=C:\\Apps\\b.exe\r\n</B>\r\n");
  }

  // The items launched at each local "h:mm", in order.
  std::map<std::string, V> LaunchesByMinute() const {
    std::map<std::string, V> result;
    for (const ShellRecord& launch : world.launches) {
      const std::string minute = std::to_string(launch.localTime.hour) + ":" +
                                 (launch.localTime.minute < 10 ? "0" : "") +
                                 std::to_string(launch.localTime.minute);
      result[minute].push_back(launch.file.substr(8, 1));  // "C:\Apps\a.exe" -> "a"
    }
    return result;
  }

  std::int64_t At(int hour, int minute, int second, int ms = 0) const {
    return world.UtcOf(2026, 3, 5, hour, minute, second, ms);
  }

  void Start() {
    try {
      scheduler.StartScheduler();
    } catch (...) {
      errors.push_back(ErrorText(std::current_exception()));
    }
  }

  V errors;
  WindowHandle owner = world.AddWindow("TfrmPendulon", "Quillmar v.2.5 Final Release");
  TaskScheduler scheduler{
      platform, owner,
      [this](const AnsiString& item, int, const SystemTime&) { RunItem(platform, owner, item); },
      [this](std::exception_ptr e) { errors.push_back(ErrorText(e)); }};
};

TEST_F(TaskSchedulerTest, StartsAtSecondZeroAndFirstMatchesTheMinuteAfter) {
  world.WriteFile(kTasks, "* * * * * A\r\n");
  Start();
  EXPECT_EQ(world.Now(), At(10, 16, 0, 200)) << "waited for second 00, then to 200 ms past it";
  EXPECT_EQ(scheduler.TasksPath(), kTasks);
  EXPECT_EQ(scheduler.TaskMark(), WriteMarkOf(platform, kTasks));
  EXPECT_EQ(scheduler.TaskList()->Count(), 1);
  EXPECT_TRUE(scheduler.TaskTimer().Counting());
  EXPECT_EQ(scheduler.TaskTimer().Interval(), 60000u);
  EXPECT_TRUE(scheduler.ModifyTimer().Counting());
  EXPECT_EQ(scheduler.ModifyTimer().Interval(), 1000u);

  platform.RunUntil(At(10, 19, 30));
  EXPECT_EQ(LaunchesByMinute(),
            (std::map<std::string, V>{{"10:17", {"a"}}, {"10:18", {"a"}}, {"10:19", {"a"}}}));
  for (const ShellRecord& launch : world.launches) {
    EXPECT_EQ(launch.localTime.second, 0);
    EXPECT_EQ(launch.localTime.milliseconds, 200) << "every tick, the first included";
    EXPECT_EQ(launch.verb, "open");
    EXPECT_EQ(launch.directory, "C:\\Apps");
    EXPECT_EQ(launch.showCommand, 9);
  }
  EXPECT_TRUE(errors.empty());
}

TEST_F(TaskSchedulerTest, AFailedFirstLoadLeavesTheMinuteWalkOnAnEmptyTableAndNoWatch) {
  Start();
  EXPECT_EQ(errors, V{"Cannot open file C:\\Tools\\lib\\tasks.qef"});
  EXPECT_FALSE(scheduler.TaskMark().present);
  EXPECT_EQ(scheduler.TaskList()->Count(), 0);
  EXPECT_TRUE(scheduler.TaskTimer().Counting());
  EXPECT_FALSE(scheduler.ModifyTimer().Counting());

  world.WriteFile(kTasks, "* * * * * A\r\n");
  platform.RunUntil(At(10, 30, 0));
  EXPECT_TRUE(world.launches.empty()) << "the file is never read again";
  EXPECT_EQ(world.Opens(kTasks), 1);
}

TEST_F(TaskSchedulerTest, ARefusedTimerStopsTheStartWhereItIsRefused) {
  world.WriteFile(kTasks, "* * * * * A\r\n");
  world.refusedTimerIntervals = {60000};
  Start();
  EXPECT_EQ(errors, V{"Not enough timers available"});
  EXPECT_EQ(world.Opens(kTasks), 0) << "nothing is read";
  EXPECT_EQ(scheduler.TaskList()->Count(), 0);

  SimWorld w;
  SimPlatform p(w, kExe, "p");
  w.WriteFile(kTasks, "* * * * * A\r\n");
  w.refusedTimerIntervals = {1000};
  V errors2;
  TaskScheduler s(
      p, 0, [](const AnsiString&, int, const SystemTime&) {},
      [&](std::exception_ptr e) { errors2.push_back(ErrorText(e)); });
  EXPECT_THROW(s.StartScheduler(), EOutOfResources);
  EXPECT_EQ(s.TaskList()->Count(), 1) << "loaded, but never watched";
  EXPECT_FALSE(s.ModifyTimer().Counting());
}

TEST_F(TaskSchedulerTest, ASaveIsPickedUpAfterSecondZero) {
  world.WriteFile(kTasks, "* * * * * A\r\n");
  Start();
  world.At(At(10, 19, 59, 500), [&] { world.WriteFile(kTasks, "* * * * * B\r\n"); });
  world.At(At(10, 20, 0, 600), [&] {
    EXPECT_EQ(scheduler.TaskList()->Get(0), "* * * * * A") << "no reload within second 0";
  });
  world.At(At(10, 20, 1, 300), [&] { EXPECT_EQ(scheduler.TaskList()->Get(0), "* * * * * B"); });
  platform.RunUntil(At(10, 21, 30));
  EXPECT_EQ(LaunchesByMinute()["10:20"], V{"a"});
  EXPECT_EQ(LaunchesByMinute()["10:21"], V{"b"});
  EXPECT_TRUE(errors.empty());
}

TEST_F(TaskSchedulerTest, ReloadsOnEveryStampChange) {
  world.WriteFile(kTasks, "* * * * * A\r\n");
  Start();
  const WriteMark first = scheduler.TaskMark();

  // An older copy put in place: any difference counts.
  world.At(At(10, 17, 10), [&] { world.WriteFile(kTasks, "* * * * * B\r\n", At(9, 0, 0)); });
  // An empty file loads as an empty table.
  world.At(At(10, 18, 10), [&] { world.WriteFile(kTasks, ""); });
  // A rewrite, then daylight-saving time begins: the write time in UTC stays, so the unchanged
  // file is not read once more.
  std::int64_t rewritten = 0;
  world.At(At(10, 19, 10), [&] {
    rewritten = world.Now() - kHour;
    world.WriteFile(kTasks, "* * * * * A\r\n", rewritten);
    world.SetOffsetFrom(world.Now() + 20 * kSecond, kHour);
  });
  // Other lines of another size under the very same write time: the size tells. (Times given
  // here are read before the clock moves ahead: this is 11:21:10 on the clock.)
  world.At(At(10, 21, 10),
           [&] { world.WriteFile(kTasks, "* * * * * B\r\n* * * * * A\r\n", rewritten); });
  platform.RunUntil(At(11, 22, 30));
  EXPECT_NE(scheduler.TaskMark(), first);
  const auto launches = LaunchesByMinute();
  EXPECT_EQ(launches.count("10:17"), 1u);
  EXPECT_EQ(launches.at("10:18"), V{"b"});
  EXPECT_EQ(launches.count("10:19"), 0u);
  EXPECT_EQ(launches.at("11:20"), V{"a"}) << "clock moved an hour ahead";
  EXPECT_EQ(launches.at("11:22"), (V{"b", "a"}));
  EXPECT_EQ(world.Opens(kTasks), 5) << "start, older copy, empty file, rewrite, new size";
  EXPECT_TRUE(errors.empty());
}

TEST_F(TaskSchedulerTest, ADeletedFileReportsOnceAndLoadsAgainWhenItReturns) {
  world.WriteFile(kTasks, "* * * * * A\r\n");
  Start();
  world.At(At(10, 17, 30), [&] { world.RemoveFile(kTasks); });
  world.At(At(10, 21, 30, 500), [&] { world.WriteFile(kTasks, "* * * * * B\r\n"); });
  world.At(At(10, 21, 32), [&] { EXPECT_EQ(scheduler.TaskList()->Count(), 1); });
  platform.RunUntil(At(10, 22, 30));
  EXPECT_EQ(errors, V{"Cannot open file C:\\Tools\\lib\\tasks.qef"});
  const auto launches = LaunchesByMinute();
  EXPECT_EQ(launches.count("10:18") + launches.count("10:21"), 0u);
  EXPECT_EQ(launches.at("10:22"), V{"b"});
}

TEST_F(TaskSchedulerTest, AReloadBlockedByAWriterIsRetriedQuietlyUntilItSucceeds) {
  world.WriteFile(kTasks, "* * * * * A\r\n");
  Start();
  world.At(At(10, 17, 20), [&] {
    world.WriteFile(kTasks, "* * * * * B\r\n");
    world.LockForWriting(kTasks, true);  // the editor still holds the file after saving
  });
  world.At(At(10, 17, 25, 500), [&] { world.LockForWriting(kTasks, false); });
  platform.RunUntil(At(10, 18, 30));
  EXPECT_EQ(errors, V{"Cannot open file C:\\Tools\\lib\\tasks.qef"}) << "reported once";
  ASSERT_EQ(scheduler.TaskList()->Count(), 1);
  EXPECT_EQ(scheduler.TaskList()->Get(0), "* * * * * B");
  EXPECT_EQ(LaunchesByMinute().at("10:18"), V{"b"});
}

TEST_F(TaskSchedulerTest, AFreedTableIsAbsentAndEmptyForEveryTick) {
  world.WriteFile(kTasks, "* * * * * A\r\n");
  Start();
  scheduler.FreeTaskList();
  world.At(At(10, 17, 30), [&] { world.WriteFile(kTasks, "* * * * * B\r\n"); });
  platform.RunUntil(At(10, 20, 30));
  EXPECT_TRUE(world.launches.empty());
  EXPECT_EQ(scheduler.TaskList(), nullptr);
  scheduler.FreeTaskList();
  EXPECT_TRUE(errors.empty());
}

TEST_F(TaskSchedulerTest, AWalkWaitingInALaunchSeesReloadsAndEndsWhenTheTableIsFreed) {
  world.WriteFile(kTasks, "* * * * * A\r\n* * * * * B\r\n* * * * * B\r\n");
  // The first launch of A shows a box for 90 s; ticks go on inside it.
  world.shellBox = [&](const ShellRecord& launch) {
    return launch.file == "C:\\Apps\\a.exe" && world.launches.size() == 1 ? 90 * kSecond : 0;
  };
  Start();
  world.At(At(10, 17, 30), [&] { world.WriteFile(kTasks, "* * * * * A\r\n* * * * * A\r\n"); });
  platform.RunUntil(At(10, 19, 30));
  // 10:17 waits in A's box; 10:18 runs inside it on the reloaded table, passing over the first
  // line, whose launch still waits. Its minute over, the waiting walk ends when the box closes,
  // and launches nothing more: line 2 ran for 10:18 already.
  EXPECT_EQ(world.launches.size(), 4u);
  const auto launches = LaunchesByMinute();
  EXPECT_EQ(launches.at("10:17"), V{"a"});
  EXPECT_EQ(launches.at("10:18"), V{"a"});
  EXPECT_EQ(launches.at("10:19"), (V{"a", "a"}));

  // The same, with the table freed while the walk waits.
  SimWorld w;
  w.SetLocalTime(2026, 3, 5, 10, 15, 30, 250);
  SimPlatform p(w, kExe, "p");
  w.WriteFile(kTasks, "* * * * * A\r\n* * * * * B\r\n");
  w.WriteFile(kLaunch, "<A>\r\npath=C:\\a.exe\r\n</A>\r\n<B>\r\npath=C:\\b.exe\r\n</B>\r\n");
  w.shellBox = [](const ShellRecord& launch) {
    return launch.file == "C:\\a.exe" ? 30 * kSecond : 0;
  };
  TaskScheduler s(
      p, 0, [&](const AnsiString& item, int, const SystemTime&) { RunItem(p, 0, item); }, nullptr);
  s.StartScheduler();
  w.At(w.Now() + 60 * kSecond + 10 * kSecond, [&] { s.FreeTaskList(); });
  p.RunUntil(w.Now() + 3 * kMinute);
  ASSERT_EQ(w.launches.size(), 1u);
  EXPECT_EQ(w.launches[0].file, "C:\\a.exe");
}

// The shell's box for the first line ("Windows cannot find ...") stays unanswered over a
// weekend. Its line is passed over inside the box instead of opening one more box each minute;
// the second line runs every minute; once the box is answered, the first line runs again.
TEST_F(TaskSchedulerTest, ALineWhoseLaunchWaitsInTheShellIsNotLaunchedAgainMeanwhile) {
  world.WriteFile(kTasks, "* * * * * A\r\n* * * * * B\r\n");
  world.SetDeadline(world.Now() + 4 * kDay);
  const std::int64_t first = At(10, 17, 0, 200);
  const std::int64_t answered = first + 72 * kHour + 30 * kSecond;
  int deepest = 0;
  world.shellBox = [&](const ShellRecord& launch) -> std::int64_t {
    if (launch.file != "C:\\Apps\\a.exe" || launch.at >= answered)
      return 0;
    deepest = std::max(deepest, world.OpenBoxes() + 1);
    return answered - launch.at;
  };
  Start();
  platform.RunUntil(answered + 2 * kMinute);
  std::vector<std::int64_t> a, b;
  for (const ShellRecord& launch : world.launches)
    (launch.file == "C:\\Apps\\a.exe" ? a : b).push_back(launch.at);
  // The second line runs in each minute from the second on, at second 0; in the first, its walk
  // waited at the line above until long after that minute, and launches nothing late.
  std::vector<std::int64_t> everyMinute;
  for (int m = 1; m <= 4322; ++m) everyMinute.push_back(first + m * kMinute);
  EXPECT_TRUE(b == everyMinute) << b.size();
  EXPECT_EQ(deepest, 1) << "no box inside the box";
  EXPECT_EQ(a, (std::vector<std::int64_t>{first, answered + 30 * kSecond, answered + 90 * kSecond}))
      << "once, then again from the minute after the box is answered";
  EXPECT_TRUE(errors.empty());
}

// A launch that handles no messages (a slow network path) past the next boundary: the tick due
// meanwhile waits and serves the minute the launch returns in, and the ticks after it stay at
// second 0.
TEST_F(TaskSchedulerTest, ALaunchStalledPastTheBoundaryLeavesItsTickWaiting) {
  world.WriteFile(kTasks, "* * * * * A\r\n");
  world.shellStall = [&](const ShellRecord&) {
    return world.launches.size() == 1 ? 90 * kSecond : 0;
  };
  Start();
  platform.RunUntil(At(10, 20, 30));
  V times;
  for (const ShellRecord& launch : world.launches)
    times.push_back(std::to_string(launch.localTime.minute) + ":" +
                    std::to_string(launch.localTime.second));
  EXPECT_EQ(times, (V{"17:0", "18:30", "19:0", "20:0"}));
}

// A thousand minutes in which the second line's launch often stalls, up to two and a half
// minutes: a minute is walked at most once, and is left out only when a stall begun in an
// earlier minute held the thread to its end.
TEST_F(TaskSchedulerTest, RandomStallsNeitherDoubleNorDropAMinuteTheyDoNotCover) {
  world.WriteFile(kTasks, "* * * * * A\r\n* * * * * B\r\n");
  world.SetDeadline(world.Now() + kDay);
  std::uint64_t seed = 777;
  std::vector<std::pair<std::int64_t, std::int64_t>> stalls;
  world.shellStall = [&](const ShellRecord& launch) -> std::int64_t {
    seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
    const std::int64_t r = static_cast<std::int64_t>(seed >> 33);
    if (launch.file != "C:\\Apps\\b.exe" || r % 3 != 0)
      return 0;
    const std::int64_t length = (r / 3) % (150 * kSecond);
    stalls.emplace_back(launch.at, launch.at + length);
    return length;
  };
  Start();
  const std::int64_t first = world.Now() + kMinute;
  platform.RunUntil(first + 1000 * kMinute);
  std::map<std::int64_t, int> walks;  // walks by minute; each begins with A's launch
  for (const ShellRecord& launch : world.launches)
    if (launch.file == "C:\\Apps\\a.exe")
      ++walks[(launch.at - first) / kMinute];
  int covered = 0;
  for (std::int64_t m = 0; m < 1000; ++m) {
    const std::int64_t from = first + m * kMinute;
    bool stalledThrough = false;
    for (const auto& [begin, end] : stalls)
      stalledThrough = stalledThrough || (begin < from && end >= from + kMinute);
    covered += stalledThrough ? 1 : 0;
    EXPECT_EQ(walks[m], stalledThrough ? 0 : 1) << "minute " << m;
  }
  EXPECT_GT(covered, 20) << "the stalls must really cover minutes";
  EXPECT_TRUE(errors.empty());
}

// Every refusal of the minute timer reaches the user once per outage and only while it lasts,
// whatever else the tick reports; the timer meanwhile keeps a plain minute, so no minute is lost.
TEST(TaskSchedulerRefusals, EachOutageIsReportedOnceAndNoMinuteIsLost) {
  constexpr const char* kRefused = "Not enough timers available";
  constexpr const char* kNoField = "List index out of bounds (0)";
  struct Outage {
    int from, to;  // minutes after 10:16:30
  };
  struct Case {
    const char* name;
    const char* tasks;
    std::vector<Outage> outages;
    int minutes;               // run from 10:16:30 for this long
    std::int64_t shellBoxFor;  // A's launch at 10:18 shows a box this long
    bool lockedAtStart;        // the task file is still being written at start-up
    V errors;
    int launches;  // of A; -1: one in every minute, at second 0
  } const cases[] = {
      {"two outages with a good spell between",
       "* * * * * A\r\n",
       {{1, 8}, {24, 29}},
       34,
       0,
       false,
       V{kRefused, kRefused},
       -1},
      {"a line that raises does not hide it",
       "* * * * * A\r\nx\r\n",
       {{1, 4}},
       6,
       0,
       false,
       V{kNoField, kNoField, kRefused, kNoField, kNoField, kNoField, kNoField},
       -1},
      {"a tick inside the launch re-arms: the outage is over",
       "* * * * * A\r\n",
       {{1, 2}},
       5,
       90 * kSecond,
       false,
       V{},
       4},
      {"ten hours refused from the first re-arm on",
       "* * * * * A\r\n",
       {{0, 600}},
       610,
       0,
       false,
       V{kRefused},
       -1},
      {"the watch refused while the file is being written",
       "* * * * * A\r\n",
       {},
       3,
       0,
       true,
       V{"Cannot open file C:\\Tools\\lib\\tasks.qef", kRefused},
       0},
  };
  for (const Case& c : cases) {
    SimWorld world;
    world.SetLocalTime(2026, 3, 5, 10, 15, 30, 250);
    world.SetDeadline(world.Now() + 2 * kDay);
    SimPlatform platform(world, kExe, "p");
    world.WriteFile(kTasks, c.tasks);
    world.WriteFile(kLaunch, "<A>\r\npath=C:\\Apps\\a.exe\r\n</A>\r\n");
    const std::int64_t start = world.UtcOf(2026, 3, 5, 10, 16, 30);
    for (const Outage& o : c.outages) {
      world.At(start + o.from * kMinute, [&world] { world.refuseEveryTimer = true; });
      world.At(start + o.to * kMinute, [&world] { world.refuseEveryTimer = false; });
    }
    if (c.lockedAtStart) {
      world.LockForWriting(kTasks, true);
      world.refusedTimerIntervals = {1000};
    }
    world.shellBox = [&](const ShellRecord& r) {
      return r.localTime.minute == 18 ? c.shellBoxFor : 0;
    };
    V errors;
    TaskScheduler scheduler(
        platform, 0,
        [&](const AnsiString& item, int, const SystemTime&) { RunItem(platform, 0, item); },
        [&](std::exception_ptr e) { errors.push_back(ErrorText(e)); });
    try {
      scheduler.StartScheduler();
    } catch (...) {
      errors.push_back(ErrorText(std::current_exception()));
    }
    platform.RunUntil(start + c.minutes * kMinute);
    EXPECT_EQ(errors, c.errors) << c.name;
    if (c.launches >= 0) {
      EXPECT_EQ(world.launches.size(), static_cast<std::size_t>(c.launches)) << c.name;
      continue;
    }
    ASSERT_EQ(world.launches.size(), static_cast<std::size_t>(c.minutes)) << c.name;
    for (std::size_t i = 0; i < world.launches.size(); ++i) {
      const SystemTime t = world.launches[i].localTime;
      const SystemTime due =
          world.ToLocal(start + 30 * kSecond + static_cast<std::int64_t>(i) * kMinute);
      ASSERT_EQ(t.hour * 60 + t.minute, due.hour * 60 + due.minute) << c.name << " launch " << i;
      ASSERT_EQ(t.second, 0) << c.name << " launch " << i;
    }
  }
}

TEST_F(TaskSchedulerTest, AFileLockedAtStartUpLoadsOnceFreeAfterOneBox) {
  // The family is still writing the file when it starts us, and writes again before letting go.
  world.WriteFile(kTasks, "* * * * * A\r\n");
  world.LockForWriting(kTasks, true);
  world.At(At(10, 16, 10), [&] { world.WriteFile(kTasks, "* * * * * A\r\n* * * * * B\r\n"); });
  world.At(At(10, 16, 40, 500), [&] { world.LockForWriting(kTasks, false); });
  Start();
  EXPECT_TRUE(scheduler.ModifyTimer().Counting());
  platform.RunUntil(At(10, 17, 30));
  EXPECT_EQ(errors, V{"Cannot open file C:\\Tools\\lib\\tasks.qef"}) << "no box while locked";
  EXPECT_EQ(LaunchesByMinute().at("10:17"), (V{"a", "b"}));

  // A folder in the file's place is not a file being written: never watched.
  SimWorld w;
  SimPlatform p(w, kExe, "p");
  w.MakeDirectory(kTasks);
  TaskScheduler s(
      p, 0, [](const AnsiString&, int, const SystemTime&) {}, nullptr);
  EXPECT_THROW(s.StartScheduler(), EFOpenError);
  EXPECT_FALSE(s.ModifyTimer().Counting());
}

// A writer that truncates, then writes, within one two-second step, with a watch tick between:
// the final lines are in force.
TEST_F(TaskSchedulerTest, TwoWritesWithinTwoSecondsLeaveTheFinalLines) {
  world.WriteFile(kTasks, "* * * * * A\r\n");
  Start();
  world.At(At(10, 20, 2, 100), [&] { world.WriteFile(kTasks, ""); });
  world.At(At(10, 20, 3, 500), [&] { world.WriteFile(kTasks, "* * * * * B\r\n"); });
  world.At(At(10, 20, 3, 200), [&] { EXPECT_EQ(scheduler.TaskList()->Count(), 0); });
  platform.RunUntil(At(10, 21, 30));
  EXPECT_EQ(LaunchesByMinute().at("10:21"), V{"b"});
  EXPECT_EQ(world.Opens(kTasks), 3);
}

// A timer whose period wanders between 0.03 % fast and 0.05 % slow, and that arrives up to 25 ms
// late: over 30 days every minute must still be matched exactly once, whether the first day is a
// slow one or a fast one (which would bring the first tick before the boundary it waits for).
TEST(TaskSchedulerDrift, ThirtyDaysOfADriftingTimerMatchEveryMinuteOnce) {
  for (const bool fastFirst : {false, true}) {
    SimWorld world;
    world.SetLocalTime(2026, 3, 5, 10, 15, 30, 250);
    SimPlatform platform(world, kExe, "p");
    world.WriteFile(kTasks, "* * * * * A\r\n");
    world.SetDeadline(world.Now() + 31 * kDay);
    std::uint64_t seed = 12345;
    std::int64_t ticks = 0;
    world.timerPeriod = [&](std::uint32_t interval) -> std::int64_t {
      if (interval < 30000)
        return interval;
      seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
      const std::int64_t jitter = static_cast<std::int64_t>((seed >> 33) % 26);
      const bool slowDay = ((++ticks - 1) / 1440) % 2 == (fastFirst ? 1 : 0);
      return static_cast<std::int64_t>(interval * (slowDay ? 1.0005 : 0.9997)) + jitter;
    };
    V matched;
    TaskScheduler s(
        platform, 0,
        [&](const AnsiString&, int, const SystemTime&) {
          const SystemTime t = world.LocalTime();
          matched.push_back(std::to_string(t.day) + " " + std::to_string(t.hour) + ":" +
                            std::to_string(t.minute));
          EXPECT_EQ(t.second, 0) << matched.back();
        },
        nullptr);
    s.StartScheduler();
    const std::int64_t first = world.UtcOf(2026, 3, 5, 10, 17, 0);
    platform.RunUntil(first + 30 * kDay - kSecond);
    ASSERT_EQ(matched.size(), static_cast<std::size_t>(30 * 24 * 60))
        << "fast first: " << fastFirst;
    for (std::size_t i = 0; i < matched.size(); ++i) {
      const SystemTime t = world.ToLocal(first + static_cast<std::int64_t>(i) * kMinute);
      const std::string expected =
          std::to_string(t.day) + " " + std::to_string(t.hour) + ":" + std::to_string(t.minute);
      ASSERT_EQ(matched[i], expected) << "minute " << i << ", fast first: " << fastFirst;
    }
  }
}

TEST_F(TaskSchedulerTest, DaylightSavingTimeSkipsTheLostHourAndRepeatsTheDoubledOne) {
  world.WriteFile(kTasks, "* 2 * * * A\r\n");
  world.SetLocalTime(2026, 3, 29, 1, 58, 30);
  const std::int64_t springForward = world.Now() + 90 * kSecond;  // at 02:00 local
  world.SetOffsetFrom(springForward, kHour);
  const std::int64_t fallBack = springForward + 4 * kHour;  // at 06:00 local, back to 05:00
  world.SetOffsetFrom(fallBack, 0);
  Start();
  platform.RunUntil(fallBack + 2 * kHour);
  EXPECT_TRUE(world.launches.empty()) << "02:00 to 02:59 never happened";

  SimWorld w;
  SimPlatform p(w, kExe, "p");
  w.WriteFile(kTasks, "* 5 * * * A\r\n");
  w.WriteFile(kLaunch, "<A>\r\npath=C:\\a.exe\r\n</A>\r\n");
  w.SetOffsetFrom(0, kHour);
  w.SetLocalTime(2026, 10, 25, 4, 58, 30);
  w.SetOffsetFrom(w.Now() + kHour + 90 * kSecond, 0);  // 06:00 local becomes 05:00
  TaskScheduler s(
      p, 0, [&](const AnsiString& item, int, const SystemTime&) { RunItem(p, 0, item); }, nullptr);
  s.StartScheduler();
  p.RunUntil(w.Now() + 4 * kHour);
  EXPECT_EQ(w.launches.size(), 120u) << "05:00 to 05:59 happened twice";
}

}  // namespace
}  // namespace pendulon::sim
