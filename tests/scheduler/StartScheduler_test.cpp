// Start-up: the wait for second 00, the first load, and the timers it starts or cannot.

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "platform/Files.h"
#include "scheduler/SchedulerFixture.h"

namespace pendulon::sim {
namespace {

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
      p, p, 0, [](const AnsiString&, int, const SystemTime&) {},
      [&](std::exception_ptr e) { errors2.push_back(ErrorText(e)); });
  EXPECT_THROW(s.StartScheduler(), EOutOfResources);
  EXPECT_EQ(s.TaskList()->Count(), 1) << "loaded, but never watched";
  EXPECT_FALSE(s.ModifyTimer().Counting());
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
      p, p, 0, [](const AnsiString&, int, const SystemTime&) {}, nullptr);
  EXPECT_THROW(s.StartScheduler(), EFOpenError);
  EXPECT_FALSE(s.ModifyTimer().Counting());
}

}  // namespace
}  // namespace pendulon::sim
