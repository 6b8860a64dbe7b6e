#include "scheduler/TaskScheduler.h"

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
      [this](const AnsiString& item) { RunItem(platform, platform, platform, owner, item); },
      [this](std::exception_ptr e) { errors.push_back(ErrorText(e)); }};
};

TEST_F(TaskSchedulerTest, StartsAtSecondZeroAndFirstMatchesTheMinuteAfter) {
  world.WriteFile(kTasks, "* * * * * A\r\n");
  Start();
  EXPECT_EQ(world.Now(), At(10, 16, 0)) << "waited for second 00";
  EXPECT_EQ(scheduler.TasksPath(), kTasks);
  EXPECT_EQ(scheduler.TaskStamp(), FileStamp(platform, kTasks));
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
    EXPECT_EQ(launch.verb, "open");
    EXPECT_EQ(launch.directory, "C:\\Apps");
    EXPECT_EQ(launch.showCommand, 9);
  }
  EXPECT_TRUE(errors.empty());
}

TEST_F(TaskSchedulerTest, AFailedFirstLoadLeavesTheMinuteWalkOnAnEmptyTableAndNoWatch) {
  Start();
  EXPECT_EQ(errors, V{"Cannot open file C:\\Tools\\lib\\tasks.qef"});
  EXPECT_EQ(scheduler.TaskStamp(), -1);
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
      p, 0, [](const AnsiString&) {},
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
  world.At(At(10, 20, 1, 100), [&] { EXPECT_EQ(scheduler.TaskList()->Get(0), "* * * * * B"); });
  platform.RunUntil(At(10, 21, 30));
  EXPECT_EQ(LaunchesByMinute()["10:20"], V{"a"});
  EXPECT_EQ(LaunchesByMinute()["10:21"], V{"b"});
  EXPECT_TRUE(errors.empty());
}

TEST_F(TaskSchedulerTest, ReloadsOnEveryStampChange) {
  world.WriteFile(kTasks, "* * * * * A\r\n");
  Start();
  const std::int32_t first = scheduler.TaskStamp();

  // An older copy put in place: any difference counts.
  world.At(At(10, 17, 10), [&] { world.WriteFile(kTasks, "* * * * * B\r\n", At(9, 0, 0)); });
  // An empty file loads as an empty table.
  world.At(At(10, 18, 10), [&] { world.WriteFile(kTasks, ""); });
  // Daylight-saving time begins: the same file gets another stamp and is read once more.
  world.At(At(10, 19, 10), [&] {
    world.WriteFile(kTasks, "* * * * * A\r\n", world.Now() - kHour);
    world.SetOffsetFrom(world.Now() + 20 * kSecond, kHour);
  });
  platform.RunUntil(At(11, 22, 30));
  EXPECT_NE(scheduler.TaskStamp(), first);
  const auto launches = LaunchesByMinute();
  EXPECT_EQ(launches.count("10:17"), 1u);
  EXPECT_EQ(launches.at("10:18"), V{"b"});
  EXPECT_EQ(launches.count("10:19"), 0u);
  EXPECT_EQ(launches.at("11:20"), V{"a"}) << "clock moved an hour ahead";
  EXPECT_EQ(world.Opens(kTasks), 5) << "start, older copy, empty file, rewrite, time zone";
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
  // 10:17 waits in A's box; 10:18 runs inside it on the reloaded table; the waiting walk then
  // goes on at its second entry of the reloaded table, in the minute the clock shows now.
  EXPECT_EQ(world.launches.size(), 6u);
  const auto launches = LaunchesByMinute();
  EXPECT_EQ(launches.at("10:17"), V{"a"});
  EXPECT_EQ(launches.at("10:18"), (V{"a", "a", "a"}));
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
      p, 0, [&](const AnsiString& item) { RunItem(p, p, p, 0, item); }, nullptr);
  s.StartScheduler();
  w.At(w.Now() + 60 * kSecond + 10 * kSecond, [&] { s.FreeTaskList(); });
  p.RunUntil(w.Now() + 3 * kMinute);
  ASSERT_EQ(w.launches.size(), 1u);
  EXPECT_EQ(w.launches[0].file, "C:\\a.exe");
}

// A timer whose period wanders between 0.03 % fast and 0.05 % slow, and that arrives up to 25 ms
// late: over 30 days every minute must still be matched exactly once.
TEST_F(TaskSchedulerTest, ThirtyDaysOfADriftingTimerMatchEveryMinuteOnce) {
  world.WriteFile(kTasks, "* * * * * A\r\n");
  world.SetDeadline(world.Now() + 31 * kDay);
  std::uint64_t seed = 12345;
  std::int64_t ticks = 0;
  world.timerPeriod = [&](std::uint32_t interval) -> std::int64_t {
    if (interval < 30000)
      return interval;
    seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
    const std::int64_t jitter = static_cast<std::int64_t>((seed >> 33) % 26);
    const double drift = (++ticks / 1440) % 2 == 0 ? 1.0005 : 0.9997;  // one day slow, one fast
    return static_cast<std::int64_t>(interval * drift) + jitter;
  };
  V matched;
  TaskScheduler s(
      platform, owner,
      [&](const AnsiString&) {
        const SystemTime t = world.LocalTime();
        matched.push_back(std::to_string(t.day) + " " + std::to_string(t.hour) + ":" +
                          std::to_string(t.minute));
        EXPECT_EQ(t.second, 0) << matched.back();
      },
      nullptr);
  s.StartScheduler();
  const std::int64_t first = world.Now() + kMinute;
  platform.RunUntil(first + 30 * kDay - kSecond);
  ASSERT_EQ(matched.size(), static_cast<std::size_t>(30 * 24 * 60));
  for (std::size_t i = 0; i < matched.size(); ++i) {
    const SystemTime t = world.ToLocal(first + static_cast<std::int64_t>(i) * kMinute);
    const std::string expected =
        std::to_string(t.day) + " " + std::to_string(t.hour) + ":" + std::to_string(t.minute);
    ASSERT_EQ(matched[i], expected) << "minute " << i;
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
      p, 0, [&](const AnsiString& item) { RunItem(p, p, p, 0, item); }, nullptr);
  s.StartScheduler();
  p.RunUntil(w.Now() + 4 * kHour);
  EXPECT_EQ(w.launches.size(), 120u) << "05:00 to 05:59 happened twice";
}

}  // namespace
}  // namespace pendulon::sim
