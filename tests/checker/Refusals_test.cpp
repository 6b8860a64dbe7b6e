// What qefcheck refuses, or names instead of reading: a folder that is not there, a report it
// cannot write, files past its bound, links, and a run log the executer cannot write.

#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "CheckerFixture.h"

namespace pendulon::sim {
namespace {

// A folder that cannot be checked is named as what it is: the one given, or qefcheck's own.
TEST_F(CheckerTest, AFolderThatCannotBeCheckedSaysWhichFolderAndWhy) {
  struct Case {
    std::vector<std::string> arguments;
    bool tasks, example;  // lib\tasks.qef, and the release's example\lib\tasks.qef
    const char* said;
  } const cases[] = {
      {{"C:\\Elsewhere"}, true, false, "qefcheck: no such folder: C:\\Elsewhere\n"},
      {{"--follow", "C:\\Elsewhere"}, true, false, "qefcheck: no such folder: C:\\Elsewhere\n"},
      {{"C:\\Tools"}, false, false, "qefcheck: Cannot open file C:\\Tools\\lib\\tasks.qef\n"},
      {{},
       false,
       false,
       "qefcheck: no folder given, so qefcheck checked its own folder C:\\Tools: Cannot open file "
       "C:\\Tools\\lib\\tasks.qef\n"},
      {{},
       false,
       true,
       "qefcheck: hint: the example's files lie in C:\\Tools\\example\\lib: copy them to "
       "C:\\Tools\\lib, or check them with: qefcheck C:\\Tools\\example\n"},
      {{"C:\\Tools"}, false, true, "qefcheck: Cannot open file C:\\Tools\\lib\\tasks.qef\n"},
  };
  for (const Case& c : cases) {
    world.RemoveFile(kTasks);
    world.RemoveFile("C:\\Tools\\example\\lib\\tasks.qef");
    if (c.tasks)
      world.WriteFile(kTasks, "* * * * * Backup\r\n");
    if (c.example)
      world.WriteFile("C:\\Tools\\example\\lib\\tasks.qef", "* * * * * Backup\r\n");
    const Outcome outcome = Run(c.arguments);
    EXPECT_EQ(outcome.status, 2);
    EXPECT_NE(outcome.err.find(c.said), std::string::npos) << c.said << "---\n" << outcome.err;
  }
}

// Takes nothing: every write fails, as on a full disk or into a pipe whose reader has gone.
class RefusingBuffer : public std::streambuf {
 protected:
  int overflow(int) override { return traits_type::eof(); }
  std::streamsize xsputn(const char*, std::streamsize) override { return 0; }
};

TEST_F(CheckerTest, AReportThatCannotBeWrittenGivesStatusTwoAndOneLine) {
  world.WriteFile(kTasks, "* * * * * Backup\r\n");
  world.WriteFile(kLaunch, kLaunchText);
  for (const std::vector<std::string>& arguments :
       std::vector<std::vector<std::string>>{{}, {"--json"}, {"--version"}}) {
    RefusingBuffer refusing;
    std::ostream out(&refusing);
    std::ostringstream err;
    EXPECT_EQ(RunChecker(platform, arguments, '\\', out, err), 2);
    EXPECT_EQ(err.str(),
              "qefcheck: the report could not be written in full (is the disk full, or has the "
              "program reading it ended?)\n");
  }
}

// The bound qefcheck promises: task files up to 10,000 lines, launch files up to 100,000, each
// up to 4 MiB; a larger one is refused with status 2 before it is judged.
TEST_F(CheckerTest, FilesUpToTheBoundAreCheckedAndLargerOnesRefused) {
  std::string tasks, moreTasks, launch, moreLaunch;
  for (int i = 0; i < 10'000; ++i) tasks += "* * * * * A\r\n";
  moreTasks = tasks + "# one line too many\r\n";
  for (int i = 0; i < 100'000; ++i)
    launch += i == 0 ? "<A>\r\n" : i == 1 ? "path=C:\\a.exe\r\n" : "</A>\r\n";
  moreLaunch = launch + "\r\n";
  const std::string huge = "# " + std::string(4 * 1024 * 1024, 'x') + "\r\n";
  struct Case {
    const std::string& tasks;
    const std::string& launch;
    int status;
    const char* said;
  } const cases[] = {
      {tasks, launch, 0, ""},
      {moreTasks, launch, 2,
       "tasks.qef is larger than qefcheck checks (10001 lines): a task file may have up to 10,000 "
       "lines and 4 MiB\n"},
      {tasks, moreLaunch, 2,
       "launch.qef is larger than qefcheck checks (100001 lines): a launch file may have up to "
       "100,000 lines and 4 MiB\n"},
      {huge, launch, 2, "tasks.qef is larger than qefcheck checks (4194308 bytes)"},
      {tasks, huge, 2, "launch.qef is larger than qefcheck checks (4194308 bytes)"},
  };
  for (const Case& c : cases) {
    world.WriteFile(kTasks, c.tasks);
    world.WriteFile(kLaunch, c.launch);
    const Outcome outcome = Run({"C:\\Tools"});
    EXPECT_EQ(outcome.status, c.status) << c.said;
    EXPECT_NE(outcome.err.find(c.said), std::string::npos) << outcome.err;
  }
}

// A folder sent by someone else may hold links, made again by unzip or tar, that lead to the
// reader's own files: each is named with where it leads, and nothing is read through it.
TEST_F(CheckerTest, LinksInTheFolderAreNamedAndNeverRead) {
  constexpr const char* kSecret = "C:\\Users\\Support\\secret.txt";
  struct Case {
    const char* link;
    int status;
    std::string said;
  } const cases[] = {
      {kTasks, 2, std::string(kTasks) + " is a link to " + kSecret},
      {kLaunch, 2, std::string(kLaunch) + " is a link to " + kSecret},
      {"C:\\Tools\\lib", 2, std::string("C:\\Tools\\lib is a link to ") + kSecret},
      {"C:\\Tools\\lib\\pendulon.log", 0,
       "C:\\Tools\\lib\\pendulon.log not read: it is a link to " + std::string(kSecret)},
      {"C:\\Tools\\lib\\pendulon.log.1", 0,
       "C:\\Tools\\lib\\pendulon.log.1 not read: it is a link to " + std::string(kSecret)},
  };
  for (const Case& c : cases) {
    SimWorld fresh;
    fresh.SetLocalTime(2026, 3, 2, 10, 5, 30);
    fresh.WriteFile(kTasks, "* * * * * Backup\r\n");
    fresh.WriteFile(kLaunch, kLaunchText);
    if (!fresh.Exists(c.link))
      fresh.WriteFile(c.link, "");
    fresh.File(c.link)->linkTarget = kSecret;
    SimPlatform process(fresh, kExe, "qefcheck");
    Machine machine;
    std::ostringstream out, err;
    EXPECT_EQ(RunChecker(process, {"C:\\Tools"}, '\\', out, err, machine), c.status) << c.link;
    EXPECT_NE((out.str() + err.str()).find(c.said), std::string::npos) << out.str() << err.str();
    if (c.link != std::string("C:\\Tools\\lib")) {
      EXPECT_EQ(fresh.Opens(c.link), 0) << c.link;
    }
  }
}

// The executer drops every line of a log it cannot write; qefcheck, which writes nothing, says so.
TEST_F(CheckerTest, ARunLogTheExecuterCannotWriteIsNamedWithTheFix) {
  constexpr const char* kLog = "C:\\Tools\\lib\\pendulon.log";
  struct Case {
    bool fileReadOnly, folderReadOnly;
    const char* said;  // empty: nothing is said
  } const cases[] = {
      {false, false, ""},
      {true, false,
       "  run log      C:\\Tools\\lib\\pendulon.log (0 lines)\n               hint: Pendulon "
       "cannot write it: the file is read-only; clear its read-only mark (Properties, untick "
       "Read-only)\n"},
      {false, true,
       "hint: Pendulon cannot roll it over at 1 MiB: your user may not add files to the lib "
       "folder (as under Program Files); give your user the right to modify the lib folder\n"},
  };
  for (const Case& c : cases) {
    world.WriteFile(kTasks, "* * * * * Backup\r\n");
    world.WriteFile(kLaunch, kLaunchText);
    world.WriteFile(kLog, "");
    world.File(kLog)->readOnly = c.fileReadOnly;
    world.File("C:\\Tools\\lib")->readOnly = c.folderReadOnly;
    Machine machine;
    std::ostringstream out, err;
    EXPECT_EQ(RunChecker(platform, {}, '\\', out, err, machine), 0);
    if (*c.said == '\0')
      EXPECT_EQ(out.str().find("Pendulon cannot"), std::string::npos) << out.str();
    else
      EXPECT_NE(out.str().find(c.said), std::string::npos) << out.str();
    EXPECT_EQ(world.Contents(kLog), "");
  }
}

}  // namespace
}  // namespace pendulon::sim
