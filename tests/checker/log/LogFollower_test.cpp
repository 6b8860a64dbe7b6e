// qefcheck --follow on a simulated log that the executer appends to, rolls over, loses and
// begins again, against tests/checker/golden/follow.txt (PENDULON_UPDATE_GOLDEN=1 writes it).

#include "checker/log/LogFollower.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "checker/CheckerFixture.h"
#include "runlog/RunLogFormat.h"

namespace pendulon::sim {
namespace {

constexpr const char* kLog = "C:\\Tools\\lib\\pendulon.log";

class LogFollowerTest : public CheckerTest {
 protected:
  // A launch of line 1 at the given second of 09:00, as the executer writes it.
  static std::string Launch(int second, const char* answer, const char* meaning) {
    char stamp[40];
    std::snprintf(stamp, sizeof stamp, "2026-03-02T10:06:%02d.200+01:00", second);
    return LogLine({stamp,
                    LogEvent::kLaunch,
                    {"2026-03-02T10:06", "1", "Backup", "open", "C:\\Tools\\backup.exe", "",
                     "C:\\Tools", answer, meaning, "12"}});
  }
  void Append(const std::string& bytes) { world.WriteFile(kLog, world.Contents(kLog) + bytes); }

  // Follows the folder until the clock has gone on by the given milliseconds.
  std::string Follow(std::int64_t forMs) {
    const std::int64_t stop = world.Now() + forMs;
    Machine machine;
    machine.keepFollowing = [&] { return world.Now() < stop; };
    std::ostringstream out, err;
    EXPECT_EQ(RunChecker(platform, {"--follow", "C:\\Tools"}, '\\', out, err, machine), 0);
    return out.str() + err.str();
  }
};

TEST_F(LogFollowerTest, SaysEachEventAcrossARollOverAndWaitsForALogThatWent) {
  std::string events;
  for (int s = 0; s < 12; ++s)
    events += Launch(s, s % 2 ? "2" : "42", s % 2 ? "file not found" : "ok");
  world.WriteFile(kLog, events);
  const std::int64_t t = world.Now();
  world.At(t + 1200, [&] { Append(Launch(20, "42", "ok")); });
  world.At(t + 1300, [&] {
    Append(Launch(21, "3", "path not found"));  // the last line of the old file
    world.RenameFile(*world.File(kLog), std::string(kLog) + ".1");
    world.WriteFile(kLog, Launch(22, "42", "ok"));
  });
  const std::string cut = Launch(23, "42", "ok");
  world.At(t + 2400, [&] { Append(cut.substr(0, 30)); });  // a line written in two pieces
  world.At(t + 2600, [&] { Append(cut.substr(30)); });
  world.At(t + 3200, [&] { world.RemoveFile(kLog); });
  world.At(t + 4400, [&] { world.WriteFile(kLog, Launch(44, "42", "ok") + "typed by hand\r\n"); });
  std::string report = Follow(5500);

  world.RemoveFile(kLog);
  world.RemoveFile(std::string(kLog) + ".1");
  const std::int64_t u = world.Now();
  world.At(u + 1000, [&] { world.WriteFile(kLog, Launch(50, "42", "ok")); });
  report += "--- without a log at first\n" + Follow(2000);

  // Replaced, while followed, by what is no file: each named, as at the start.
  const auto replace = [&](FileKind kind, const char* link) {
    world.RemoveFile(kLog);
    world.WriteFile(kLog, Launch(58, "42", "ok"));
    world.File(kLog)->kind = kind;
    world.File(kLog)->linkTarget = link;
  };
  const std::int64_t v = world.Now();
  world.At(v + 1000, [&] { replace(FileKind::kPipe, ""); });
  world.At(v + 2000, [&] { replace(FileKind::kDevice, ""); });
  world.At(v + 3000, [&] { replace(FileKind::kFile, "D:\\elsewhere.log"); });
  world.At(v + 4000, [&] { replace(FileKind::kFile, ""); });
  report += "--- replaced by a pipe, a device and a link\n" + Follow(5000);

  // A log Pendulon cannot write loses its records: said when it happens and when it ends.
  const std::int64_t w = world.Now();
  world.At(w + 1000, [&] { world.File(kLog)->readOnly = true; });
  world.At(w + 2000, [&] { world.File(kLog)->readOnly = false; });
  world.At(w + 3000, [&] { world.File(kLog)->heldOpen = true; });
  world.At(w + 4000, [&] { world.File(kLog)->heldOpen = false; });
  world.At(w + 4500, [&] { Append(Launch(59, "42", "ok")); });
  report += "--- read-only, then held by another program\n" + Follow(5000);

  // A second copy starts while one runs, loads the task file and stops: its lines are its own.
  const auto line = [&](const char* at, LogEvent event, std::vector<std::string> fields) {
    return LogLine(
        {std::string("2026-03-02T10:07:") + at + ".100+01:00", event, std::move(fields)});
  };
  const std::int64_t x = world.Now();
  world.At(x + 1000, [&] {
    Append(
        line("10", LogEvent::kStart, {"2.5.0.1", "C:\\Tools\\pendulon.exe", "3120", "accepted"}) +
        line("11", LogEvent::kLoad, {"first", "C:\\Tools\\lib\\tasks.qef", "1", "1"}) +
        line("30", LogEvent::kStart, {"2.5.0.1", "C:\\Tools\\pendulon.exe", "4120", "accepted"}) +
        line("31", LogEvent::kLoad, {"first", "C:\\Tools\\lib\\tasks.qef", "1", "1"}) +
        line("32", LogEvent::kEnd, {"stop", "5"}) + Launch(0, "42", "ok"));
  });
  report += "--- a second copy starts and stops while one runs\n" + Follow(3000);

  // One whose first load and stop were lost: what follows its start is the running copy's.
  const std::int64_t y = world.Now();
  world.At(y + 1000, [&] {
    Append(
        line("40", LogEvent::kStart, {"2.5.0.1", "C:\\Tools\\pendulon.exe", "5120", "accepted"}) +
        line("58", LogEvent::kLost, {"2", "the log could not be opened"}) +
        line("58", LogEvent::kLoad, {"reload", "C:\\Tools\\lib\\tasks.qef", "2", "2", ""}) +
        line("59", LogEvent::kEnd, {"family gone", "60000"}));
  });
  report += "--- a second copy whose own lines were lost\n" + Follow(3000);

  const std::string golden = std::string(QEFCHECK_SOURCE_DIR) + "/tests/checker/golden/follow.txt";
  if (std::getenv("PENDULON_UPDATE_GOLDEN") != nullptr)
    std::ofstream(golden, std::ios::binary) << report;
  std::ifstream in(golden, std::ios::binary);
  std::ostringstream expected;
  expected << in.rdbuf();
  EXPECT_EQ(report, expected.str());
}

}  // namespace
}  // namespace pendulon::sim
