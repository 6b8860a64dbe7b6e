#include "launcher/LaunchFileMemory.h"

#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "launcher/LaunchItem.h"
#include "platform/Exceptions.h"
#include "support/SimPlatform.h"
#include "support/SimWorld.h"

namespace pendulon::sim {
namespace {

constexpr const char* kPath = "C:\\Tools\\lib\\launch.qef";

struct Quiet final : LaunchObserver {
  void Launched(const AnsiString&, const LaunchRequest&, std::intptr_t, std::uint64_t) override {}
  void LaunchedNothing(const AnsiString&, const AnsiString&) override {}
};

// Seeded histories of saves (of one size, stamped to FAT's two seconds, so that marks repeat),
// waits, locks and launches through the memory: every launch asks the shell for the path the
// file holds at that moment, and a file that cannot be opened fails the launch, whatever was
// read before. The memory must still spare reads: a file left alone is read once.
TEST(LaunchFileMemory, EveryLaunchOpensWhatTheFileHoldsAtThatMomentAndAFileLeftAloneIsReadOnce) {
  for (std::uint64_t seed = 1; seed <= 300; ++seed) {
    SimWorld world;
    world.SetLocalTime(2026, 3, 5, 10, 7, 0, 200);
    SimPlatform platform(world, "C:\\Tools\\pendulon.exe", "p");
    LaunchFileMemory memory;
    Quiet quiet;
    std::uint64_t state = seed;
    const auto dice = [&](int n) {
      state = state * 6364136223846793005u + 1442695040888963407u;
      return static_cast<int>((state >> 33) % static_cast<std::uint64_t>(n));
    };
    std::string holds;  // the path the file names now, by the world's own bytes
    bool held = false;
    const auto save = [&] {
      holds = std::string("C:\\Apps\\") + static_cast<char>('a' + dice(3)) + ".exe";
      world.WriteFile(kPath, "<A>\r\npath=" + holds + "\r\n</A>\r\n");
      SimFile* file = world.File(kPath);
      file->lastWrite -= file->lastWrite % 2000;
      file->heldOpen = held;
    };
    save();
    for (int step = 0; step < 120; ++step) {
      const int what = dice(10);
      if (what < 3) {
        save();
      } else if (what < 6) {
        world.AdvanceBy(dice(3) == 0 ? 60'000 : dice(2500));
      } else if (what == 6) {
        world.File(kPath)->heldOpen = held = !held;
      } else {
        const std::size_t before = world.launches.size();
        try {
          LaunchItem(platform, 0, kPath, "A", quiet, &memory);
          ASSERT_FALSE(held) << "seed " << seed << ": a held file launched";
          ASSERT_EQ(world.launches.size(), before + 1) << "seed " << seed;
          ASSERT_EQ(world.launches.back().file, holds) << "seed " << seed << ", step " << step;
        } catch (const EFOpenError&) {
          ASSERT_TRUE(held) << "seed " << seed << ": a file that opens failed the launch";
        }
      }
    }
  }
  // Saved a minute before: a thousand launches read it once.
  SimWorld world;
  world.SetLocalTime(2026, 3, 5, 10, 7, 0, 200);
  SimPlatform platform(world, "C:\\Tools\\pendulon.exe", "p");
  world.WriteFile(kPath, "<A>\r\npath=C:\\Apps\\a.exe\r\n</A>\r\n");
  world.AdvanceBy(60'000);
  LaunchFileMemory memory;
  Quiet quiet;
  for (int i = 0; i < 1000; ++i) LaunchItem(platform, 0, kPath, "A", quiet, &memory);
  EXPECT_EQ(memory.Reads(), 1u);
}

}  // namespace
}  // namespace pendulon::sim
