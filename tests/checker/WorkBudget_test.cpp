// qefcheck's work grows with the folder, not with its square: for each of the hardest shapes
// found, a folder twice the size costs at most about twice the memory allocated, and a folder at
// the bound stays under 200 MB. Counted by the allocator, not timed, so a busy machine cannot
// fail it and a quadratic search cannot pass it.

#include <malloc.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <new>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "checker/Checker.h"
#include "platform/CheckingHostWrapper.h"
#include "support/HostileFolders.h"
#include "support/NullOutput.h"
#include "support/SimPlatform.h"
#include "support/SimWorld.h"
#include "support/WorstFolders.h"

namespace {

std::size_t g_now = 0, g_peak = 0;
std::uint64_t g_total = 0;

void* Allocate(std::size_t size) {
  void* block = std::malloc(size == 0 ? 1 : size);
  if (block == nullptr)
    throw std::bad_alloc();
  const std::size_t usable = malloc_usable_size(block);
  g_now += usable;
  g_total += usable;
  g_peak = std::max(g_peak, g_now);
  return block;
}

void Free(void* block) noexcept {
  if (block == nullptr)
    return;
  g_now -= malloc_usable_size(block);
  std::free(block);
}

}  // namespace

void* operator new(std::size_t size) {
  return Allocate(size);
}
void* operator new[](std::size_t size) {
  return Allocate(size);
}
void operator delete(void* block) noexcept {
  Free(block);
}
void operator delete[](void* block) noexcept {
  Free(block);
}
void operator delete(void* block, std::size_t) noexcept {
  Free(block);
}
void operator delete[](void* block, std::size_t) noexcept {
  Free(block);
}

namespace pendulon::sim {
namespace {

struct Work {
  std::uint64_t allocated;  // bytes, in all
  std::size_t peak;         // bytes held at once
};

// The whole command on the folder, its JSON report (which writes everything) thrown away; with
// --next, the text, as JSON lists each launch of every minute and grows as the request does.
Work Check(const HostileFolder& folder) {
  SimWorld world;
  world.SetLocalTime(2026, 3, 5, 10, 7, 0, 200);
  world.WriteFile("C:\\Tools\\lib\\tasks.qef", folder.files.tasks);
  world.WriteFile("C:\\Tools\\lib\\launch.qef", folder.files.launch);
  if (!folder.log.empty())
    world.WriteFile("C:\\Tools\\lib\\pendulon.log", folder.log);
  if (!folder.oldLog.empty())
    world.WriteFile("C:\\Tools\\lib\\pendulon.log.1", folder.oldLog);
  SimPlatform platform(world, "C:\\Tools\\qefcheck.exe", "qefcheck");
  NullBuffer null;
  std::ostream out(&null), err(&null);
  std::vector<std::string> arguments = folder.arguments;
  if (arguments.empty())
    arguments.push_back("--json");
  arguments.push_back("C:\\Tools");
  const std::size_t before = g_now;
  g_peak = g_now;
  g_total = 0;
  EXPECT_NE(RunChecker(platform, arguments, '\\', out, err), 2) << folder.shape;
  return {g_total, g_peak - before};
}

Work Check(const WorstFolder& folder) {
  return Check(HostileFolder{"", folder, "", "", {}});
}

TEST(WorkBudget, TwiceTheFolderCostsAboutTwiceTheMemoryAndTheBoundStaysUnder200MB) {
  const struct Shape {
    const char* name;
    std::function<WorstFolder(int)> make;
  } shapes[] = {
      {"ordinary", [](int n) { return FolderOf(Ordinary(n)); }},
      {"many overlaps", [](int n) { return FolderOf(ManyOverlaps(n)); }},
      {"the same raising line", [](int n) { return FolderOf(SameRaising(n)); }},
      {"every class raising", [](int n) { return FolderOf(EveryClassRaising(n)); }},
      {"rare and distinct", [](int n) { return FolderOf(RareAndDistinct(n)); }},
      {"sections opened before closed", OpenedBeforeClosed},
  };
  for (const Shape& shape : shapes) {
    const Work half = Check(shape.make(5'000));
    const Work whole = Check(shape.make(10'000));
    EXPECT_LT(whole.peak, 200u << 20) << shape.name;
    EXPECT_LT(whole.allocated, 3 * half.allocated)
        << shape.name << ": " << half.allocated << " bytes for 5,000 lines, " << whole.allocated
        << " for 10,000";
  }
}

// Folders built to hurt, two seeds of each shape at an eighth and a quarter of the bounds: twice
// the folder costs about twice the work, and a run log, read as a stream, costs qefcheck less than
// half its largest file at its peak, however many starts, lines or bytes of fields it holds.
TEST(WorkBudget, HostileFoldersCostWorkInProportionAndLogsAreNotHoarded) {
  for (std::uint64_t seed = 1; seed <= 2 * kHostileShapes; ++seed) {
    const HostileFolder half = Hostile(seed, 1'250, 1u << 20);
    HostileFolder whole = Hostile(seed, 2'500, 2u << 20);
    const Work halfWork = Check(half), wholeWork = Check(whole);
    const std::string shape = whole.shape + " (seed " + std::to_string(seed) + ")";
    EXPECT_LT(wholeWork.allocated, 3 * halfWork.allocated)
        << shape << ": " << halfWork.allocated << " bytes allocated, then " << wholeWork.allocated;
    EXPECT_LT(wholeWork.peak, 3 * halfWork.peak)
        << shape << ": " << halfWork.peak << " bytes held, then " << wholeWork.peak;
    if (whole.log.empty())
      continue;
    const std::size_t largest = std::max(whole.log.size(), whole.oldLog.size());
    whole.log.clear();
    whole.oldLog.clear();
    const std::size_t logsCost = wholeWork.peak - std::min(wholeWork.peak, Check(whole).peak);
    EXPECT_LT(logsCost, largest / 2) << shape << ": the logs held " << logsCost << " bytes";
  }
}

// A report that can no longer be written ends the work at once: --next over two days of 600 lines
// that fire once an hour, into a stream that fails after 4 KiB, costs a small part of writing
// all 28,800 entries.
TEST(WorkBudget, AReportThatCannotBeWrittenEndsTheWorkAtOnce) {
  std::string tasks;
  for (int i = 0; i < 600; ++i) tasks += std::to_string(i % 60) + " * * * * Backup\r\n";
  for (const char* json : {"--json", ""}) {
    const auto cost = [&](std::streambuf& to, const char* span) {
      SimWorld world;
      world.SetLocalTime(2026, 3, 5, 10, 7, 0, 200);
      world.WriteFile("C:\\Tools\\lib\\tasks.qef", tasks);
      world.WriteFile("C:\\Tools\\lib\\launch.qef",
                      "<Backup>\r\npath=C:\\Tools\\backup.exe\r\n</Backup>\r\n");
      SimPlatform platform(world, "C:\\Tools\\qefcheck.exe", "qefcheck");
      std::vector<std::string> arguments = {"--next", span, "C:\\Tools"};
      if (*json != '\0')
        arguments.insert(arguments.begin(), json);
      std::ostream out(&to);
      NullBuffer null;
      std::ostream err(&null);
      g_total = 0;
      const int status = RunChecker(platform, arguments, '\\', out, err);
      return std::pair{status, g_total};
    };
    NullBuffer whole;
    BrokenBuffer broken(4096);
    // The check of the folder costs the same in each; an hour's entries are 600.
    const auto [hourStatus, hour] = cost(whole, "1h");
    const auto [allStatus, all] = cost(whole, "48h");
    const auto [brokenStatus, cut] = cost(broken, "48h");
    EXPECT_NE(allStatus, 2) << json;
    EXPECT_EQ(brokenStatus, 2) << json;
    EXPECT_LT(cut, hour + (all - hour) / 10) << json << ": " << cut << " bytes allocated, " << all
                                             << " for all entries, " << hour << " for an hour's";
  }
}

// --follow begins with the last ten events, however much the log grows while it is first read:
// a log that gains 64 KiB at every read, up to 16 MiB, is never held whole.
TEST(WorkBudget, FollowHoldsTheLastTenEventsOfALogThatGrowsWhileItStarts) {
  SimWorld world;
  world.SetLocalTime(2026, 3, 2, 10, 7, 0, 200);
  world.WriteFile("C:\\Tools\\lib\\tasks.qef", "* * * * * Backup\r\n");
  const std::string log = "C:\\Tools\\lib\\pendulon.log";
  const std::string line =
      "2026-03-02T10:06:00.200+01:00\tno-launch\t2026-03-02T10:06\t1\tBackup\t" +
      std::string(100, 'x') + "\r\n";
  std::string piece;
  while (piece.size() < 64 * 1024) piece += line;
  world.WriteFile(log, piece);
  world.File(log)->bytes.reserve(17u * 1024 * 1024);  // the world's growth is not qefcheck's
  SimPlatform platform(world, "C:\\Tools\\qefcheck.exe", "qefcheck");
  class Growing final : public CheckingHostWrapper {
   public:
    Growing(CheckingHost& base, SimWorld& world, std::string path, std::string piece)
        : CheckingHostWrapper(base),
          world_(world),
          path_(std::move(path)),
          piece_(std::move(piece)) {}
    bool Read(FileHandle file, void* buffer, std::uint32_t count, std::uint32_t& got) override {
      const bool ok = CheckingHostWrapper::Read(file, buffer, count, got);
      SimFile* grown = world_.File(path_);
      if (got > 0 && grown->bytes.size() < 16u * 1024 * 1024)
        grown->bytes += piece_;
      return ok;
    }

   private:
    SimWorld& world_;
    std::string path_, piece_;
  } growing(platform, world, log, piece);
  NullBuffer null;
  std::ostream out(&null), err(&null);
  Machine machine;
  machine.keepFollowing = [] { return false; };
  const std::size_t before = g_now;
  g_peak = g_now;
  EXPECT_EQ(RunChecker(growing, {"--follow", "C:\\Tools"}, '\\', out, err, machine), 0);
  EXPECT_GT(world.File(log)->bytes.size(), 8u * 1024 * 1024) << "the log must really grow";
  EXPECT_LT(g_peak - before, 4u * 1024 * 1024) << "bytes held at once";
}

}  // namespace
}  // namespace pendulon::sim
