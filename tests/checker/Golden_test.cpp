// The reports' contract: qefcheck's text and JSON reports of the example folders and of test
// folders with the usual mistakes, at fixed clock values, with and without a run log, byte for
// byte as tests/checker/golden/*.txt and *.json hold them. After a deliberate change to a
// report, run this test with PENDULON_UPDATE_GOLDEN=1: it rewrites the files that differ and
// fails, naming them; the commit then shows the change as a diff.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "checker/Checker.h"
#include "support/SimPlatform.h"
#include "support/SimWorld.h"

namespace pendulon::sim {
namespace {

namespace fs = std::filesystem;

struct GoldenCase {
  const char* name;    // tests/checker/golden/<name>
  const char* folder;  // below the source tree; its lib folder becomes C:\Office\lib
  bool runLog;         // the folder's pendulon.log is there too
  bool berlin;         // the clock of Europe/Berlin, summer time included; UTC otherwise
  int year, month, day, hour, minute;
  int window = -1;  // the executer's window is looked for: 1 it is there, 0 not; -1 not looked for
  std::vector<std::string> options = {};  // before the folder
};

const GoldenCase kCases[] = {
    {"examples", "examples", false, false, 2026, 3, 2, 10, 5},
    {"packaging-example", "packaging/example", false, true, 2026, 12, 9, 12, 0},
    {"sample", "tests/checker/sample", false, false, 2026, 3, 2, 10, 5},
    {"sample-leap-day", "tests/checker/sample", false, false, 2028, 2, 28, 23, 59},
    {"mistakes", "tests/checker/golden/mistakes", true, true, 2026, 12, 9, 15, 31, 0},
    {"mistakes-without-log", "tests/checker/golden/mistakes", false, true, 2027, 10, 31, 2, 45},
    {"notepad", "tests/checker/golden/notepad", false, false, 2026, 12, 9, 15, 31},
    {"encodings", "tests/checker/golden/encodings", false, false, 2026, 12, 9, 15, 31},
    {"utf16", "tests/checker/golden/utf16", false, false, 2026, 12, 9, 15, 31},
    {"pendulon-ended", "tests/checker/golden/pendulon-ended", true, true, 2026, 12, 9, 11, 0},
    {"pendulon-running", "tests/checker/golden/pendulon-running", true, true, 2026, 12, 9, 11, 0,
     1},
    {"gaps", "tests/checker/golden/gaps", true, true, 2026, 12, 9, 11, 0},
    {"examples-next", "examples", false, false, 2026, 3, 2, 10, 5, -1, {"--next", "2h"}},
    // clang-format off
    {"mistakes-next", "tests/checker/golden/mistakes", false, true, 2027, 3, 20, 12, 0, -1,
     {"--next", "31d"}},
    {"mistakes-next-autumn", "tests/checker/golden/mistakes", false, true, 2027, 10, 30, 12, 0,
     -1, {"--next=36h"}},
    // clang-format on
};

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// The report's first line that differs from the golden one, with its number.
std::string FirstDifference(const std::string& seen, const std::string& golden) {
  std::istringstream a(seen), b(golden);
  std::string x, y;
  for (int n = 1;; ++n) {
    const bool moreA = static_cast<bool>(std::getline(a, x));
    const bool moreB = static_cast<bool>(std::getline(b, y));
    if (!moreA && !moreB)
      return "the same lines, other bytes";
    if (x != y || moreA != moreB)
      return "line " + std::to_string(n) + "\n  golden: " + (moreB ? y : "(end)") +
             "\n  now:    " + (moreA ? x : "(end)");
  }
}

TEST(GoldenReports, EveryReportIsByteForByteItsGoldenFile) {
  const fs::path source = QEFCHECK_SOURCE_DIR;
  const bool update = std::getenv("PENDULON_UPDATE_GOLDEN") != nullptr;
  for (const GoldenCase& c : kCases) {
    for (const bool json : {false, true}) {
      SimWorld world;
      if (c.berlin)
        SetEuropeBerlinRules(world);
      world.SetLocalTime(c.year, c.month, c.day, c.hour, c.minute, 30);
      // Twice: the first call leaves the offset of the moment before it in force.
      world.SetLocalTime(c.year, c.month, c.day, c.hour, c.minute, 30);
      world.MakeDirectory("C:\\Office\\lib");
      for (const fs::directory_entry& file : fs::directory_iterator(source / c.folder / "lib")) {
        const std::string name = file.path().filename().string();
        if (c.runLog || name.rfind("pendulon.log", 0) != 0)
          world.WriteFile("C:\\Office\\lib\\" + name, ReadFile(file.path()),
                          world.Now() - 7 * kDay);
      }
      SimPlatform platform(world, "C:\\Office\\qefcheck.exe", "qefcheck");
      Machine machine;
      if (c.window >= 0)
        machine.windows = &platform;
      if (c.window == 1)
        world.AddWindow("TfrmPendulon", "Quillmar v.2.5 Final Release");
      std::vector<std::string> arguments = c.options;
      arguments.push_back("C:\\Office");
      if (json)
        arguments.insert(arguments.begin(), "--json");
      std::ostringstream out, err;
      const int status = RunChecker(platform, arguments, '\\', out, err, machine);
      const std::string report =
          out.str() + err.str() + "exit status " + std::to_string(status) + "\n";

      const fs::path golden =
          source / "tests/checker/golden" / (std::string(c.name) + (json ? ".json" : ".txt"));
      const std::string expected = ReadFile(golden);
      if (report == expected)
        continue;
      if (!update) {
        ADD_FAILURE() << golden.filename() << " differs at " << FirstDifference(report, expected);
        continue;
      }
      // Rewritten only when asked, and a failure even then: no run that changes the sources passes.
      std::ofstream(golden, std::ios::binary) << report;
      ADD_FAILURE() << "rewrote " << golden.string() << "; review the diff and commit it";
    }
  }
}

}  // namespace
}  // namespace pendulon::sim
