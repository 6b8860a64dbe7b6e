// The paths a walk can take when the world moves under it: a reload or a close while a launch
// waits in the shell, a run log at its bound, the time zone and the clock moving either way, a
// sleeping machine. Each scenario runs the whole program and compares what the run log says of
// its walks with what happened.

#include <functional>
#include <string>
#include <vector>

#include "support/LogTap.h"
#include "support/MonthHistory.h"
#include "support/SimScenario.h"

namespace pendulon::sim {
namespace {

using V = std::vector<std::string>;

// A minute field "2026-03-05T10:17" as "10:17".
std::string Hm(const std::string& minute) {
  return minute.size() >= 16 ? minute.substr(11, 5) : minute;
}

// The log's lines that tell of walks and launches, in short.
V Transcript(const LogTap& tap) {
  V lines;
  for (const TappedLine& line : tap.Lines()) {
    const V& f = line.fields;
    if (f.size() < 3)
      continue;  // padding, not a record
    const std::string& event = f[1];
    if (event == "launch" || event == "waiting")
      lines.push_back(event + " " + Hm(f[2]) + " " + f[3] + " " + f[4]);
    else if (event == "no-launch")
      lines.push_back(event + " " + Hm(f[2]) + " " + f[3] + " " + f[4] + ": " + f[5]);
    else if (event == "not-examined")
      lines.push_back(event + " " + Hm(f[2]) + " " + f[3] + ": " + f[4]);
    else if (event == "no-walk")
      lines.push_back(event + " " + Hm(f[2]) + " " + Hm(f[3]) + ": " + f[4]);
    else if (event == "late-walk")
      lines.push_back(event + " " + Hm(f[2]) + " " + f[3] + ": " + f[4]);
    else if (event == "clock-back")
      lines.push_back(event + " " + Hm(f[2]) + " " + Hm(f[3]) + " " + f[4] + ": " + f[5]);
    else if (event == "end" || event == "lost")
      lines.push_back(event + " " + f[2]);
    else if (event == "log-stopped")
      lines.push_back(event);
  }
  return lines;
}

struct Path {
  const char* name;
  const char* tasks;
  std::function<void(Scenario&)> stage;  // boxes, saves and steps; the family leaving
  V transcript;
  std::uint64_t mostLogBytes = 4 * 1024 * 1024;
};

const char* const kLaunchFile =
    "<A>\r\npath=C:\\Apps\\a.exe\r\n</A>\r\n<B>\r\npath=C:\\Apps\\b.exe\r\n</B>\r\n"
    "<C>\r\npath=C:\\Apps\\c.exe\r\n</C>\r\n";
const char* const kLog = "C:\\Tools\\lib\\pendulon.log";

// A's launch in that minute shows the shell's box for that long.
void BoxForA(Scenario& s, int minute, std::int64_t length) {
  s.world.shellBox = [minute, length](const ShellRecord& r) -> std::int64_t {
    return r.file == "C:\\Apps\\a.exe" && r.localTime.minute == minute ? length : 0;
  };
}

// The family's windows go that long after now.
void LeaveAfter(Scenario& s, std::int64_t ms) {
  s.world.At(s.world.Now() + ms, [&s] {
    for (const WindowHandle window : s.family) s.world.RemoveWindow(window);
  });
}

const Path kPaths[] = {
    {"a reload that takes a line away from a walk waiting in a box ends the walk",
     "* * * * * A\r\n* * * * * B\r\n* * * * * C\r\n",
     [](Scenario& s) {
       BoxForA(s, 17, 20 * kSecond);
       s.world.At(s.At(10, 17, 5),
                  [&s] { s.world.WriteFile(kTasks, "* * * * * B\r\n* * * * * C\r\n"); });
       s.FamilyLeavesAt(10, 18, 30);
     },
     {"launch 10:17 1 A",
      "not-examined 10:17 2: the task file was reloaded while line 1's launch waited in the shell",
      "launch 10:18 1 B", "launch 10:18 2 C", "end family gone"}},
    {"a reload that puts a line above a walk waiting in a box ends the walk",
     "* * * * * A\r\n* * * * * B\r\n* * * * * C\r\n",
     [](Scenario& s) {
       BoxForA(s, 17, 20 * kSecond);
       s.world.At(s.At(10, 17, 5), [&s] {
         s.world.WriteFile(kTasks, "* * * * * C\r\n* * * * * A\r\n* * * * * B\r\n* * * * * C\r\n");
       });
       s.FamilyLeavesAt(10, 18, 30);
     },
     {"launch 10:17 1 A",
      "not-examined 10:17 2: the task file was reloaded while line 1's launch waited in the shell",
      "launch 10:18 1 C", "launch 10:18 2 A", "launch 10:18 3 B", "launch 10:18 4 C",
      "end family gone"}},
    {"the family leaving while a walk waits in a box ends the walk before the end",
     "* * * * * A\r\n* * * * * B\r\n",
     [](Scenario& s) {
       BoxForA(s, 17, 30 * kSecond);
       s.FamilyLeavesAt(10, 17, 2);
     },
     {"waiting 10:17 1 A",
      "not-examined 10:17 2: Pendulon ended while line 1's launch waited in the shell",
      "end family gone"}},
    {"a log that cannot roll over never passes 4 MiB, whatever the record",
     "* * * * * A\r\n",
     [](Scenario& s) {
       // A launch record of some 12 KiB, while pendulon.log.1 is held and the log stands 1,000
       // bytes short of 4 MiB; the start's records are lost to a program holding the log.
       s.world.WriteFile(kLaunch,
                         "<A>\r\npath=C:\\Apps\\a.exe\r\nparams=" + std::string(4000, 'p') +
                             "\r\ndir=" + std::string(4000, 'd') + "\r\n</A>\r\n");
       s.world.WriteFile(kMonthOldLog, "");
       s.world.File(kMonthOldLog)->heldOpen = true;
       s.world.WriteFile(kLog, std::string(4 * 1024 * 1024 - 1000, 'x') + "\r\n");
       s.world.File(kLog)->heldOpen = true;
       s.world.At(s.At(10, 16, 30), [&s] { s.world.File(kLog)->heldOpen = false; });
       s.FamilyLeavesAt(10, 17, 30);
     },
     {"lost 2", "log-stopped"}},
    {"a zone three hours east tells of the local minutes it skipped",
     "0 12 * * * A\r\n",
     [](Scenario& s) {
       s.world.At(s.At(10, 30, 30), [&s] {
         s.world.ShiftZone(3 * kHour);
         LeaveAfter(s, 2 * kMinute);
       });
     },
     {"no-walk 10:31 13:30: the clock's UTC offset went from +00:00 to +03:00", "end family gone"}},
    {"a zone three hours west tells of the local minutes it walks again",
     "32 7 * * * A\r\n",
     [](Scenario& s) {
       s.world.At(s.At(10, 30, 30), [&s] {
         s.world.ShiftZone(-3 * kHour);
         LeaveAfter(s, 3 * kMinute);
       });
     },
     {"clock-back 10:30 07:31 walked again: the clock's UTC offset went from +00:00 to -03:00",
      "launch 07:32 1 A", "end family gone"}},
    {"a clock set back by more than ten minutes walks its minutes again",
     "25 10 * * * A\r\n",
     [](Scenario& s) {
       s.world.At(s.At(10, 30, 10), [&s] {
         s.world.StepClock(-(10 * kMinute + 50 * kSecond));
         LeaveAfter(s, 7 * kMinute + 10 * kSecond);  // at 10:26:30, the second time round
       });
     },
     {"launch 10:25 1 A", "clock-back 10:30 10:20 walked again: the clock was set back 10 min 50 s",
      "late-walk 10:20 10200: the clock was set back 10 min 50 s", "launch 10:25 1 A",
      "end family gone"}},
    {"a clock set back by five minutes says once that those minutes are not walked again",
     "27 10 * * * A\r\n",
     [](Scenario& s) {
       s.world.At(s.At(10, 30, 10), [&s] { s.world.StepClock(-5 * kMinute); });
       s.FamilyLeavesAt(10, 31, 30);
     },
     {"launch 10:27 1 A", "clock-back 10:30 10:26 not walked again: the clock was set back 5 min",
      "end family gone"}},
    {"a clock set back by a second and a half says that its minute is not walked again",
     "18 10 * * * A\r\n19 10 * * * B\r\n",
     [](Scenario& s) {
       s.world.At(s.At(10, 18, 0, 500), [&s] { s.world.StepClock(-1500); });
       s.FamilyLeavesAt(10, 19, 30);
     },
     {"launch 10:18 1 A", "clock-back 10:18 10:18 not walked again: the clock was set back 1.5 s",
      "launch 10:19 2 B", "end family gone"}},
    {"a clock set back and then forward again between two walks names both steps of its late walk",
     "19 10 * * * B\r\n",
     [](Scenario& s) {
       s.world.At(s.At(10, 18, 40), [&s] { s.world.StepClock(-36 * kSecond); });
       s.world.At(s.At(10, 18, 50), [&s] { s.world.StepClock(36 * kSecond + 500); });
       s.FamilyLeavesAt(10, 19, 50);
     },
     {"clock-back 10:18 10:18 not walked again: the clock was set back 36 s",
      "late-walk 10:19 36700: the clock moved 37 s between two walks; the clock was set back 36 s",
      "launch 10:19 1 B", "end family gone"}},
    {"a machine that sleeps two hours says so",
     "0 11 * * * A\r\n",
     [](Scenario& s) {
       s.world.At(s.At(10, 20, 30), [&s] {
         s.world.Sleep(2 * kHour);
         LeaveAfter(s, kMinute);
       });
     },
     {"no-walk 10:21 12:19: the computer slept 2 h",
      "late-walk 12:20 30000: the computer slept 2 h", "end family gone"}},
};

TEST(WalkPaths, EachPathEndsItsWalksAndTellsTheTruth) {
  for (const Path& path : kPaths) {
    Scenario s;
    s.world.SetDeadline(s.At(14, 0, 0));
    s.world.WriteFile(kTasks, path.tasks);
    s.world.WriteFile(kLaunch, kLaunchFile);
    s.world.WriteFile(kLog, "");
    path.stage(s);
    LogTap tap(s.world, kLog);
    std::function<void()> take = [&] {
      tap.Take();
      s.world.At(s.world.Now() + kSecond, take);
    };
    s.world.At(s.world.Now(), take);
    s.RunToEnd();
    tap.Take();
    EXPECT_EQ(Transcript(tap), path.transcript) << path.name;
    EXPECT_LE(tap.LargestFile(), path.mostLogBytes) << path.name;
  }
}

}  // namespace
}  // namespace pendulon::sim
