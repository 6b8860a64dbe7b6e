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

// The whole command on the folder, its JSON report (which writes everything) thrown away.
Work Check(const WorstFolder& folder) {
  SimWorld world;
  world.SetLocalTime(2026, 3, 5, 10, 7, 0, 200);
  world.WriteFile("C:\\Tools\\lib\\tasks.qef", folder.tasks);
  world.WriteFile("C:\\Tools\\lib\\launch.qef", folder.launch);
  SimPlatform platform(world, "C:\\Tools\\qefcheck.exe", "qefcheck");
  NullBuffer null;
  std::ostream out(&null), err(&null);
  const std::size_t before = g_now;
  g_peak = g_now;
  g_total = 0;
  EXPECT_NE(RunChecker(platform, {"--json", "C:\\Tools"}, '\\', out, err), 2);
  return {g_total, g_peak - before};
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

}  // namespace
}  // namespace pendulon::sim
