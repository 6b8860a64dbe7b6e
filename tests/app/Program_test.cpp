// The whole program on the simulated machine: start-up and its guards, the message loop,
// error boxes, the watchdog and the ways the process ends.

#include "app/Program.h"

#include <string>
#include <vector>

#include "support/SimScenario.h"

namespace pendulon::sim {
namespace {

using V = std::vector<std::string>;

const char* const kTitle = "Vostrelin Quillmar 2.5 Task Executer";
const char* const kRefusal =
    "This program is used internally by Vostrelin Quillmar \nand should not be run directly!";

class ProgramTest : public ScenarioTest {
 protected:
  ProgramTest() { world.WriteFile(kLaunch, "<A>\r\npath=C:\\Apps\\a.exe\r\n</A>\r\n"); }

  V BoxTexts() const {
    V texts;
    for (const BoxRecord& box : world.MessageBoxes()) texts.push_back(box.text);
    return texts;
  }
};

TEST_F(ProgramTest, ARefusedStartShowsItsBoxAndReadsNothing) {
  for (const char* commandLine : {"\"C:\\Tools\\pendulon.exe\"", "pendulon.exe \"-W quillmar\"",
                                  "pendulon.exe -w quillmar", "pendulon.exe \"-w quillmar \""}) {
    world.boxes.clear();
    world.opened.clear();
    world.shown.clear();
    world.WriteFile(kTasks, "* * * * * A\r\n");
    EXPECT_EQ(RunToEnd(commandLine), 0);
    ASSERT_EQ(world.boxes.size(), 1u) << commandLine;
    const BoxRecord& box = world.boxes[0];
    EXPECT_EQ(box.text, kRefusal);
    EXPECT_EQ(box.caption, "Pendulon");
    EXPECT_EQ(box.ownerClass, "TfrmPendulon");
    EXPECT_EQ(box.style, 0x10u);
    EXPECT_TRUE(world.opened.empty()) << commandLine;
    EXPECT_EQ(world.shown, V{"TfrmPendulon"}) << "the loop shows the main window as it begins";
    EXPECT_EQ(minuteTicks, 0);
  }
  EXPECT_TRUE(world.launches.empty());
}

TEST_F(ProgramTest, AnAcceptedStartLaunchesEachMinuteUntilTheFamilyLeaves) {
  world.WriteFile(kTasks, "* * * * * A\r\n");
  FamilyLeavesAt(10, 20, 30);
  EXPECT_EQ(RunToEnd("pendulon.exe \"-w quillmar\" more arguments"), 0);
  EXPECT_TRUE(world.boxes.empty());
  EXPECT_TRUE(world.shown.empty()) << "the main window stays hidden";
  ASSERT_EQ(world.launches.size(), 4u) << "10:17 to 10:20";
  EXPECT_EQ(world.launches[0].localTime.minute, 17);
  EXPECT_EQ(world.launches[0].ownerClass, "TfrmPendulon");
  EXPECT_GT(endedAt, At(10, 20, 30));
  EXPECT_LE(endedAt, At(10, 20, 41)) << "within about ten seconds";
}

TEST_F(ProgramTest, TheWatchdogCountsOnlyTheExactFamilyWindows) {
  struct Case {
    std::vector<std::pair<const char*, const char*>> windows;
    bool staysUp;
  } cases[] = {
      {{{"TfrmMenuEditor", "Quillmar Menu Editor v.4.02"}}, true},
      {{{"TfrmQuillmarSettings", "Vostrelin Quillmar 2.5 Settings"}}, true},
      {{{"TfrmQuillmar", "Quillmar v.2.5 Final Release"}}, true},
      {{{"TfrmQuillmar", "Quillmar v.2.6 Final Release"}}, false},
      {{{"TfrmPendulon", "Quillmar v.2.5 Final Release"}}, false},
      {{}, false},
  };
  for (const Case& c : cases) {
    Scenario s(false);
    SimWorld& w = s.world;
    w.WriteFile(kTasks, "");
    for (const auto& [className, caption] : c.windows) w.AddWindow(className, caption);
    w.SetDeadline(w.Now() + 10 * kMinute);
    EXPECT_EQ(s.RunToEnd(), 0);
    EXPECT_EQ(w.deadlineReached, c.staysUp) << (c.windows.empty() ? "none" : c.windows[0].first);
    if (!c.staysUp) {
      EXPECT_LE(w.Now(), w.UtcOf(2026, 3, 5, 10, 16, 11)) << "ends within ten seconds";
    }
    if (c.windows.empty()) {
      // The tick that waited out the start-up is handled in second 0, and so is the next one.
      EXPECT_GE(w.Now(), w.UtcOf(2026, 3, 5, 10, 16, 1)) << "nothing is looked up in second 0";
    }
  }
}

TEST_F(ProgramTest, AMissingTaskFileIsReportedOnceAndTheProcessStaysUp) {
  FamilyLeavesAt(10, 25, 0);
  EXPECT_EQ(RunToEnd(), 0);
  ASSERT_EQ(world.boxes.size(), 1u);
  const BoxRecord& box = world.boxes[0];
  EXPECT_EQ(box.text, "Cannot open file C:\\Tools\\lib\\tasks.qef.");
  EXPECT_EQ(box.caption, kTitle);
  EXPECT_EQ(box.ownerClass, "TApplication");
  EXPECT_EQ(box.style, 0x10u);
  EXPECT_GT(endedAt, At(10, 25, 0));
  EXPECT_GT(minuteTicks, 7) << "the minute walk runs on the empty table";
  EXPECT_TRUE(world.shown.empty());
}

TEST_F(ProgramTest, ARefusedTimerIsReportedAndTheStartGoesOn) {
  world.WriteFile(kTasks, "* * * * * A\r\n");
  world.refusedTimerIntervals = {1000};
  FamilyLeavesAt(10, 18, 30);
  EXPECT_EQ(RunToEnd(), 0);
  EXPECT_EQ(BoxTexts(), V{"Not enough timers available."});
  EXPECT_EQ(world.launches.size(), 2u) << "the table was loaded, only not watched";
}

TEST_F(ProgramTest, ASecondCopyFinishesItsStartAndEndsWithoutATick) {
  world.WriteFile(kTasks, "* * * * * A\r\n");
  world.AddWindow("TfrmPendulon", "Quillmar v.2.5 Final Release");  // the running copy
  EXPECT_EQ(RunToEnd(), 0);
  EXPECT_TRUE(world.boxes.empty());
  EXPECT_EQ(world.Opens(kTasks), 1) << "it still loads the task file";
  EXPECT_EQ(endedAt, At(10, 16, 0) + 200) << "it still waits for second 00, and 200 ms past it";
  EXPECT_EQ(minuteTicks + watchdogTicks, 0) << "the quit message comes before every tick";
  EXPECT_TRUE(world.launches.empty());
  EXPECT_NE(world.FindWindow("TfrmPendulon", "Quillmar v.2.5 Final Release"), nullptr);
}

TEST_F(ProgramTest, TheLookupAndTheCaptionHappenTogetherUnderTheSingleCopyLock) {
  world.WriteFile(kTasks, "");
  world.SetDeadline(At(10, 16, 10));
  RunToEnd();
  ASSERT_GE(world.windowLog.size(), 3u);
  EXPECT_EQ(world.windowLog[0], "TApplication caption Vostrelin Quillmar 2.5 Task Executer");
  EXPECT_EQ(world.windowLog[1], "locked TfrmPendulon lookup Quillmar v.2.5 Final Release");
  EXPECT_EQ(world.windowLog[2], "locked TfrmPendulon caption Quillmar v.2.5 Final Release");
}

TEST_F(ProgramTest, ACopyStartedWhileTheFirstWaitsForSecondZeroFindsIt) {
  world.WriteFile(kTasks, "* * * * * A\r\n");
  int secondCopy = -1;
  std::size_t launchesBySecond = 99;
  world.At(At(10, 15, 40), [&] {
    SimPlatform copy(world, kExe, kAccepted);
    secondCopy = RunProgram(copy);
    launchesBySecond = world.launches.size();
    EXPECT_EQ(copy.Ticks(4999), 0);
  });
  FamilyLeavesAt(10, 18, 30);
  EXPECT_EQ(RunToEnd(), 0);
  EXPECT_EQ(secondCopy, 0);
  EXPECT_EQ(launchesBySecond, 0u);
  EXPECT_EQ(world.launches.size(), 2u) << "the first copy runs on: 10:17 and 10:18";
  EXPECT_EQ(world.Opens(kTasks), 2);
}

TEST_F(ProgramTest, TheWatchdogCloseDuringTheRefusalBoxOnlyHides) {
  for (WindowHandle window : family) world.RemoveWindow(window);
  world.boxAnswer = [](const BoxRecord&) { return 12 * kSecond; };
  EXPECT_EQ(RunToEnd("pendulon.exe"), 0);
  ASSERT_EQ(world.boxes.size(), 1u);
  EXPECT_EQ(world.boxes[0].closedAt - world.boxes[0].openedAt, 12 * kSecond)
      << "no stop was requested while the box was open";
  EXPECT_GE(watchdogTicks, 2);
}

TEST_F(ProgramTest, TheWatchdogCloseDuringAStartUpErrorBoxLeavesTheProcessRunning) {
  for (WindowHandle window : family) world.RemoveWindow(window);
  world.WriteFile(kTasks, "* * * * * A\r\n");
  world.refusedTimerIntervals = {1000};  // the start ends with an error box, the table loaded
  world.boxAnswer = [](const BoxRecord&) { return 150 * kSecond; };
  EXPECT_EQ(RunToEnd(), 0);
  ASSERT_EQ(world.boxes.size(), 1u);
  const BoxRecord& box = world.boxes[0];
  EXPECT_EQ(box.closedAt - box.openedAt, 150 * kSecond);
  EXPECT_TRUE(world.launches.empty()) << "the close freed the table before the first minute";
  EXPECT_GT(endedAt, box.closedAt);
  EXPECT_LE(endedAt, box.closedAt + 10 * kSecond) << "once running, the next close stops it";
}

TEST_F(ProgramTest, TicksRunInsideAnOpenBoxAndTheSameErrorIsNotStacked) {
  world.WriteFile(kTasks, "* * * * * A\r\nbroken\r\n");
  // Nobody answers the first box for half an hour.
  world.boxAnswer = [this](const BoxRecord&) {
    return world.MessageBoxes().size() == 1 ? 29 * kMinute + 30 * kSecond : 10 * kSecond;
  };
  FamilyLeavesAt(10, 50, 30);
  EXPECT_EQ(RunToEnd(), 0);
  EXPECT_EQ(world.launches.size(), 34u) << "10:17 to 10:50, boxes or not";
  const auto boxes = world.MessageBoxes();
  V opened;
  for (const BoxRecord& box : boxes) {
    EXPECT_EQ(box.text, "List index out of bounds (0)");
    EXPECT_EQ(box.caption, kTitle);
    opened.push_back(std::to_string(world.ToLocal(box.openedAt).minute));
  }
  EXPECT_EQ(opened, (V{"17", "47", "48", "49", "50"})) << "the first box stays open till 10:46:30";
}

TEST_F(ProgramTest, ACloseRequestFromOutsideEndsTheProcess) {
  for (const char* target : {"TfrmPendulon", "TApplication"}) {
    Scenario s;
    SimWorld& w = s.world;
    w.WriteFile(kTasks, "* * * * * A\r\n");
    w.WriteFile(kLaunch, "<A>\r\npath=C:\\a.exe\r\n</A>\r\n");
    w.At(w.UtcOf(2026, 3, 5, 10, 18, 30), [&w, target] {
      for (const SimWindow& window : w.Windows()) {
        if (window.className == target && window.process != nullptr) {
          w.SendClose(window.handle);
          return;
        }
      }
    });
    EXPECT_EQ(s.RunToEnd(), 0);
    EXPECT_EQ(w.Now(), w.UtcOf(2026, 3, 5, 10, 18, 30)) << target;
    EXPECT_EQ(w.launches.size(), 2u) << target;
  }
}

TEST_F(ProgramTest, TheEndOfTheSessionEndsTheProcess) {
  world.WriteFile(kTasks, "* * * * * A\r\n");
  world.At(At(10, 17, 30), [this] { world.EndSession(); });
  EXPECT_EQ(RunToEnd(), 0);
  EXPECT_EQ(endedAt, At(10, 17, 30));
  EXPECT_FALSE(world.deadlineReached);
}

}  // namespace
}  // namespace pendulon::sim
