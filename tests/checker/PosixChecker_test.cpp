// qefcheck on the POSIX platform: real folders, real files and the C library's time zone.

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ReportJson.h"
#include "ZoneCases.h"
#include "checker/Checker.h"
#include "platform/posix/PosixPlatform.h"
#include "support/PosixFolderTest.h"
#include "support/ScopedTimeZone.h"

namespace pendulon {
namespace {

namespace fs = std::filesystem;

class PosixCheckerTest : public PosixFolderTest {
 protected:
  // Every entry below the folder, to see that nothing appeared.
  int Entries() const {
    int count = 0;
    for ([[maybe_unused]] const auto& entry : fs::recursive_directory_iterator(folder_)) ++count;
    return count;
  }

  struct Outcome {
    int status;
    std::string out, err;
  };
  Outcome Run(const std::vector<std::string>& arguments) {
    std::ostringstream out, err;
    Machine machine;
    const int status = RunChecker(platform_, arguments, '/', out, err, machine);
    return {status, out.str(), err.str()};
  }
};

// qefcheck returns at once on a log that never ends, is no file or leads elsewhere, and says so
// in its header.
TEST_F(PosixCheckerTest, ALogThatIsAPipeADeviceOrAFolderIsNamedAndNotRead) {
  Write("lib/tasks.qef", "* * * * * A\r\n");
  Write("lib/launch.qef", "<A>\r\npath=C:\\a.exe\r\n</A>\r\n");
  const std::string log = Path("lib/pendulon.log");
  struct Case {
    std::function<int()> make;
    const char* reason;
  } const cases[] = {
      {[&] { return mkfifo(log.c_str(), 0600); }, "it is a pipe, not a file"},
      {[&] { return symlink("/dev/zero", log.c_str()); }, "it is a link to /dev/zero"},
      {[&] { return mkdir(log.c_str(), 0700); }, "it is a folder, not a file"},
  };
  for (const Case& c : cases) {
    fs::remove(log);
    ASSERT_EQ(c.make(), 0) << c.reason;
    const Outcome outcome = Run({folder_});
    EXPECT_EQ(outcome.status, 0) << outcome.out;
    EXPECT_NE(outcome.out.find("  run log      " + log + " not read: " + c.reason + "\n"),
              std::string::npos)
        << outcome.out;
  }
}

// A task file linked to a device was read as an empty, valid file: "ok", with no line checked.
// A link is not followed at all now, to a device or to anything else.
TEST_F(PosixCheckerTest, ATaskFileThatIsALinkIsNamedAndNotRead) {
  Write("lib/launch.qef", "");
  ASSERT_EQ(symlink("/dev/zero", Path("lib/tasks.qef").c_str()), 0);
  const Outcome outcome = Run({folder_});
  EXPECT_EQ(outcome.status, 2) << outcome.out;
  EXPECT_EQ(outcome.err, "qefcheck: " + Path("lib/tasks.qef") +
                             " is a link to /dev/zero: qefcheck reads nothing through a link, "
                             "which may lead out of the folder\n");
}

TEST_F(PosixCheckerTest, CheckerReadsARealFolderAndWritesNothing) {
  Write("lib/tasks.qef", "# nightly\r\n30 2 * * * Backup\r\n");
  Write("lib/launch.qef", "<Backup>\r\npath=C:\\backup.exe\r\n</Backup>\r\n");
  EXPECT_EQ(Run({folder_}).status, 0);
  EXPECT_EQ(Run({folder_ + "/"}).status, 0);

  fs::remove(Path("lib/launch.qef"));
  const int entries = Entries();
  const Outcome missing = Run({folder_});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.out.find("launch.qef: missing"), std::string::npos) << missing.out;
  EXPECT_EQ(Entries(), entries);

  fs::remove_all(Path("lib"));
  EXPECT_EQ(Run({folder_}).status, 2);
  EXPECT_EQ(Entries(), 0);

  // Without a folder: the one the program lies in, which has no lib folder here.
  const Outcome own = Run({});
  EXPECT_EQ(own.status, 2);
  EXPECT_NE(
      own.err.find(fs::read_symlink("/proc/self/exe").parent_path().string() + "/lib/tasks.qef"),
      std::string::npos)
      << own.err;
}

TEST_F(PosixCheckerTest, SampleFolderShowsEveryVerdict) {
  const Outcome text = Run({QEFCHECK_SAMPLE});
  EXPECT_EQ(text.status, 1) << text.err;
  for (const char* said :
       {"ok: fires at 8:30 every day", "PROBLEM: never matches",
        "PROBLEM: this line has 4 of the 5 time fields", "PROBLEM: never examined",
        "not examined: at", "but launches nothing", "shell: verb        print\n"}) {
    EXPECT_NE(text.out.find(said), std::string::npos) << said;
  }
  const Outcome json = Run({"--json", QEFCHECK_SAMPLE});
  EXPECT_EQ(json.status, 1);
  Json report = ParseReport(json.out);
  std::set<std::string> verdicts;
  for (const Json& line : report["lines"]) verdicts.insert(line.at("verdict"));
  EXPECT_EQ(verdicts, (std::set<std::string>{"skipped", "launches", "never-matches", "raises-error",
                                             "never-examined", "launches-nothing"}));
}

// The C library's zone, as qefcheck reads it on Linux: next times on a clock with summer time.
TEST_F(PosixCheckerTest, NextTimesFollowTheCLibrarysZone) {
  const ScopedTimeZone zone("Europe/Berlin");
  for (const ZoneCase& c : kBerlinCases) {
    const std::string report = ZoneReport(platform_, c.line);
    EXPECT_NE(report.find(c.said), std::string::npos) << c.said << "\n---\n" << report;
  }
}

}  // namespace
}  // namespace pendulon
