// The minute ticks over time: launches that wait in the shell or stall, refused timers, a
// drifting timer and the clock changes of summer time.

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "platform/Files.h"
#include "scheduler/SchedulerFixture.h"

namespace pendulon::sim {
namespace {

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
      p, p, 0,
      [&](const AnsiString& item, int, const SystemTime&) { LaunchItem(p, 0, kLaunch, item); },
      nullptr);
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
        platform, platform, 0,
        [&](const AnsiString& item, int, const SystemTime&) {
          LaunchItem(platform, 0, kLaunch, item);
        },
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
        platform, platform, 0,
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
      p, p, 0,
      [&](const AnsiString& item, int, const SystemTime&) { LaunchItem(p, 0, kLaunch, item); },
      nullptr);
  s.StartScheduler();
  p.RunUntil(w.Now() + 4 * kHour);
  EXPECT_EQ(w.launches.size(), 120u) << "05:00 to 05:59 happened twice";
}

}  // namespace
}  // namespace pendulon::sim
