// The change watch: reloads on every change of the task file, outside second 0, retried quietly
// while a writer holds the file.

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "platform/Files.h"
#include "scheduler/SchedulerFixture.h"

namespace pendulon::sim {
namespace {

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

}  // namespace
}  // namespace pendulon::sim
