// Speed of qefcheck on whole folders of 1,000 task lines and of 10,000, its bound: an ordinary
// one, and the hardest shapes found, each checked and reported as the command does it (text, and
// JSON for those whose reports are largest).

#include <benchmark/benchmark.h>

#include <ostream>
#include <string>
#include <vector>

#include "checker/Checker.h"
#include "support/HostileFolders.h"
#include "support/NullOutput.h"
#include "support/SimPlatform.h"
#include "support/WorstFolders.h"

namespace pendulon::sim {
namespace {

struct Folder {
  SimWorld world;
  SimPlatform platform{world, "C:\\Tools\\qefcheck.exe", "qefcheck"};

  explicit Folder(const WorstFolder& folder) {
    world.SetLocalTime(2026, 3, 5, 10, 7, 0, 200);
    world.WriteFile("C:\\Tools\\lib\\tasks.qef", folder.tasks);
    world.WriteFile("C:\\Tools\\lib\\launch.qef", folder.launch);
  }
};

void Check(benchmark::State& state, const WorstFolder& worst, bool json) {
  Folder folder(worst);
  NullBuffer null;
  std::ostream out(&null), err(&null);
  const std::vector<std::string> arguments =
      json ? std::vector<std::string>{"--json"} : std::vector<std::string>{};
  for (auto _ : state) {
    if (RunChecker(folder.platform, arguments, '\\', out, err) == 2)
      state.SkipWithError("the folder was not checked");
  }
}

int Lines(const benchmark::State& state) {
  return static_cast<int>(state.range(0));
}

void BM_CheckFolder(benchmark::State& state) {
  Check(state, FolderOf(Ordinary(Lines(state))), false);
}
BENCHMARK(BM_CheckFolder)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_CheckRaisingAboveEveryMinute(benchmark::State& state) {
  Check(state, FolderOf(RaisingAboveEveryMinute(Lines(state))), false);
}
BENCHMARK(BM_CheckRaisingAboveEveryMinute)
    ->Arg(113)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond);

void BM_CheckEveryClassOfMinute(benchmark::State& state) {
  Check(state, FolderOf(EveryClassOfMinute(Lines(state))), false);
}
BENCHMARK(BM_CheckEveryClassOfMinute)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_CheckEveryClassRaising(benchmark::State& state) {
  Check(state, FolderOf(EveryClassRaising(Lines(state))), false);
}
BENCHMARK(BM_CheckEveryClassRaising)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_CheckRareAndDistinct(benchmark::State& state) {
  Check(state, FolderOf(RareAndDistinct(Lines(state))), false);
}
BENCHMARK(BM_CheckRareAndDistinct)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_CheckManyOverlapsJson(benchmark::State& state) {
  Check(state, FolderOf(ManyOverlaps(Lines(state))), true);
}
BENCHMARK(BM_CheckManyOverlapsJson)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_CheckSameRaisingJson(benchmark::State& state) {
  Check(state, FolderOf(SameRaising(Lines(state))), true);
}
BENCHMARK(BM_CheckSameRaisingJson)->Arg(10000)->Unit(benchmark::kMillisecond);

// The items' sections lie below 10,000 others in the launch file.
void BM_CheckBelowManySections(benchmark::State& state) {
  Check(state, FolderOf(RareAndDistinct(Lines(state)), 10000), false);
}
BENCHMARK(BM_CheckBelowManySections)->Arg(1000)->Unit(benchmark::kMillisecond);

// Each item's section spans the whole launch file: all opening tags above all closing ones.
void BM_CheckSectionsOpenedBeforeClosed(benchmark::State& state) {
  Check(state, OpenedBeforeClosed(Lines(state)), false);
}
BENCHMARK(BM_CheckSectionsOpenedBeforeClosed)->Arg(10000)->Unit(benchmark::kMillisecond);

// The hostile folders at the bounds: 10,000 task lines, logs of 16 MiB, one seed of each shape.
void BM_CheckHostile(benchmark::State& state) {
  const HostileFolder hostile =
      Hostile(static_cast<std::uint64_t>(state.range(0)), 10000, 16u * 1024 * 1024);
  state.SetLabel(hostile.shape);
  Folder folder(hostile.files);
  if (!hostile.log.empty())
    folder.world.WriteFile("C:\\Tools\\lib\\pendulon.log", hostile.log);
  if (!hostile.oldLog.empty())
    folder.world.WriteFile("C:\\Tools\\lib\\pendulon.log.1", hostile.oldLog);
  NullBuffer null;
  std::ostream out(&null), err(&null);
  std::vector<std::string> arguments = hostile.arguments;
  arguments.push_back("C:\\Tools");
  for (auto _ : state) {
    if (RunChecker(folder.platform, arguments, '\\', out, err) == 2)
      state.SkipWithError("the folder was not checked");
  }
}
BENCHMARK(BM_CheckHostile)->DenseRange(0, kHostileShapes - 1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pendulon::sim
