#include "checker/launch/LaunchExplanation.h"

#include <iterator>
#include <sstream>
#include <string>

#include "app/Program.h"
#include "checker/CheckerFixture.h"
#include "checker/folder/FolderCheck.h"
#include "launcher/LaunchItem.h"
#include "support/SimFixture.h"

namespace pendulon::sim {
namespace {

constexpr const char* kLog = "C:\\Tools\\lib\\pendulon.log";

class LaunchExplanationTest : public SimTest {
 protected:
  LaunchExplanation Explain(const std::string& item) {
    ServingHost served(platform);
    LaunchExplainer explainer(served, kLaunch, world.Exists(kLaunch));
    return explainer.Explain(item);
  }
};

// Every cause of an item launching nothing, in one table: the lines and the hint qefcheck names,
// and the words it shows, which the executer's run log must give too. The executer reads the
// whole launch file, qefcheck only the item's own lines of it; most sections lie below others.
TEST_F(LaunchExplanationTest, EachCauseOfLaunchingNothingIsNamedAlikeByQefcheckAndTheRunLog) {
  world.SetLocalTime(2026, 3, 5, 10, 15, 30);
  world.WriteFile(kLaunch,
                  "<Backup>\r\n"                // 1
                  "path=C:\\backup.exe\r\n"     // 2
                  "</Backup>\r\n"               // 3
                  "<NoClose>\r\n"               // 4
                  "path=C:\\x.exe\r\n"          // 5
                  "</Early>\r\n"                // 6
                  "<Early>\r\n"                 // 7
                  "path=C:\\x.exe\r\n"          // 8
                  "<Menu>\r\n"                  // 9
                  "<MenuItem caption=Run>\r\n"  // 10
                  "path=C:\\y.exe\r\n"          // 11
                  "</Menu>\r\n"                 // 12
                  "<EmptyPath>\r\n"             // 13
                  "path=\r\n"                   // 14
                  "path=C:\\z.exe\r\n"          // 15
                  "</EmptyPath>\r\n"            // 16
                  "<CasePath>\r\n"              // 17
                  "Path=C:\\z.exe\r\n"          // 18
                  "</CasePath>\r\n"             // 19
                  "<Spaced>\r\n"                // 20
                  "path=C:\\s.exe\r\n"          // 21
                  "</Spaced>\r\n");             // 22
  struct Case {
    const char* item;
    const char* code;
    int open, close, menuItem, path;
    const char* words;  // empty: the item launches
    const char* hint;
  } const cases[] = {
      {"Backup", "none", 1, 3, 0, 0, "", ""},
      {"Nowhere", "no-section", 0, 0, 0, 0, "the launch file has no section for the item", ""},
      {"backup", "no-section", 0, 0, 0, 0, "the launch file has no section for the item",
       "line 1 opens a section whose name differs only in case"},
      {"Spaced ", "no-section", 0, 0, 0, 0, "the launch file has no section for the item",
       "the item name begins or ends with a space, which is part of the name"},
      {"NoClose", "no-closing-tag", 4, 0, 0, 0, "the section opened on line 4 is never closed", ""},
      {"Early", "closing-before-opening", 7, 6, 0, 0,
       "the closing tag on line 6 comes before the opening tag on line 7", ""},
      {"Menu", "menuitem-before-path", 9, 12, 10, 11,
       "the section's keys end at the <MenuItem line 10, before path= on line 11", ""},
      {"EmptyPath", "empty-path", 13, 16, 0, 14, "path= on line 14 is empty", ""},
      {"CasePath", "no-path", 17, 19, 0, 0,
       "the section opened on line 17 has no path=", "line 18 has \"Path=\""},
  };
  std::string tasks;
  for (const Case& c : cases) tasks += std::string("* * * * * ") + c.item + "\r\n";
  world.WriteFile(kTasks, tasks);
  world.WriteFile(kLog, "");  // the executer keeps a run log only in a file that is there
  world.OpenFamily();
  world.SetDeadline(world.UtcOf(2026, 3, 5, 10, 17, 30));
  RunProgram(platform);  // its one walk, at 10:17

  SimPlatform qefcheck(world, "C:\\Tools\\qefcheck.exe", "qefcheck.exe");
  const FolderCheck check = CheckFolder(qefcheck, "C:\\Tools", '\\');
  ASSERT_EQ(check.lines.size(), std::size(cases));
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    const LineReport& line = check.lines[i];
    ASSERT_TRUE(line.launch && line.lastRun) << c.item;
    const LaunchExplanation& e = *line.launch;
    EXPECT_STREQ(LaunchProblemCode(e.problem), c.code) << c.item;
    EXPECT_EQ(e.openLine, c.open) << c.item;
    EXPECT_EQ(e.closeLine, c.close) << c.item;
    EXPECT_EQ(e.menuItemLine, c.menuItem) << c.item;
    EXPECT_EQ(e.pathLine, c.path) << c.item;
    EXPECT_EQ(e.hint.substr(0, std::string(c.hint).size()), c.hint) << c.item << ": " << e.hint;
    EXPECT_EQ(e.words, c.words) << "qefcheck, for " << c.item;
    EXPECT_EQ(line.lastRun->text, c.words) << "the run log, for " << c.item;
  }
  ASSERT_EQ(world.launches.size(), 1u) << "Backup alone";

  world.RemoveFile(kLaunch);
  EXPECT_EQ(Explain("Backup").problem, LaunchProblem::kLaunchFileMissing);
  EXPECT_FALSE(world.Exists(kLaunch)) << "qefcheck never creates it";
}

TEST_F(LaunchExplanationTest, GivesTheShellRequestTheExecuterMakes) {
  world.leadBytes = {0x81};  // a double-byte code page: "\x81\\" is one character
  world.WriteFile(kLaunch,
                  "<Plain>\r\npath=C:\\Apps\\view.exe\r\n</Plain>\r\n"
                  "<Full>\r\naction=print\r\nparams=/p x.txt\r\ndir=D:\\Out\r\n"
                  "path=C:\\Apps\\view.exe\r\n</Full>\r\n"
                  "<Bare>\r\npath=view.exe\r\n</Bare>\r\n"
                  "<Root>\r\npath=C:\\view.exe\r\naction= \r\n</Root>\r\n"
                  "<Twice>\r\npath=C:\\first.exe\r\npath=C:\\second.exe\r\n</Twice>\r\n"
                  "<Wide>\r\npath=C:\\Apps\\\x81\\view.exe\r\n</Wide>\r\n"
                  "<Name with spaces >\r\npath=C:\\x y\\z.exe\r\n</Name with spaces >\r\n");
  for (const char* item : {"Plain", "Full", "Bare", "Root", "Twice", "Wide", "Name with spaces "}) {
    world.launches.clear();
    LaunchItem(platform, 0, kLaunch, item);
    ASSERT_EQ(world.launches.size(), 1u) << item;
    const ShellRecord real = world.launches[0];
    world.launches.clear();
    const LaunchExplanation e = Explain(item);
    ASSERT_EQ(e.problem, LaunchProblem::kNone) << item;
    EXPECT_EQ(e.request.verb, real.verb) << item;
    EXPECT_EQ(e.request.file, real.file) << item;
    EXPECT_EQ(e.request.parameters, real.parameters) << item;
    EXPECT_EQ(e.request.directory, real.directory) << item;
    EXPECT_EQ(e.request.showCommand, real.showCommand) << item;
    EXPECT_TRUE(world.launches.empty()) << item;
  }
  EXPECT_TRUE(Explain("Plain").verbIsDefault);
  EXPECT_TRUE(Explain("Plain").directoryIsDefault);
  EXPECT_FALSE(Explain("Full").verbIsDefault);
  EXPECT_FALSE(Explain("Full").directoryIsDefault);
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
      const FolderCheck check = CheckFolder(platform, "C:\\Tools", '\\', Machine{here});
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
  EXPECT_EQ(RunChecker(platform, {}, '\\', out, err, Machine{true}), 1);
  EXPECT_NE(out.str().find("the shell will answer: file not found"), std::string::npos);
  EXPECT_NE(out.str().find("               file        D:\\gone.exe\n"), std::string::npos)
      << out.str();
}

}  // namespace
}  // namespace pendulon::sim
