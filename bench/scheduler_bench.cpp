// Speed of the hot paths: the minute walk, a launch lookup and the loading of a task file.
// Run: cmake --build --preset native --target pendulon_bench && build/native/bench/pendulon_bench

#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "launcher/LaunchItem.h"
#include "launcher/Qeflib.h"
#include "platform/Files.h"
#include "scheduler/MinuteMatcher.h"
#include "support/SimPlatform.h"

namespace pendulon::sim {
namespace {

// A table of lines that never match at 10:07: the minute field differs.
std::string TaskText(int lines) {
  std::string text;
  for (int i = 0; i < lines; ++i) {
    text += std::to_string(8 + i % 50) + " " + std::to_string(i % 24) + " * * * Backup job " +
            std::to_string(i) + "\r\n";
  }
  return text;
}

struct Fixture {
  SimWorld world;
  SimPlatform platform{world, "C:\\Tools\\pendulon.exe", "p"};
  Fixture() { world.SetLocalTime(2026, 3, 5, 10, 7, 0, 200); }
};

void BM_MinuteWalk(benchmark::State& state) {
  Fixture f;
  const std::string text = TaskText(static_cast<int>(state.range(0)));
  auto table = std::make_unique<TStringList>();
  AppendLines(text, *table);
  int launched = 0;
  const TaskRunner run = [&](const AnsiString&, int) { return ++launched > 0; };
  for (auto _ : state) {
    WalkTasks(f.platform, table, run);
  }
  if (launched != 0)
    state.SkipWithError("a line matched");
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_MinuteWalk)->Arg(1000)->Arg(100000);

// The floor: one pass over the same bytes looking for line ends.
void BM_MemchrFloor(benchmark::State& state) {
  const std::string text = TaskText(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    std::size_t lines = 0;
    for (const char *p = text.data(), *end = p + text.size();
         (p = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p))));
         ++p) {
      ++lines;
    }
    benchmark::DoNotOptimize(lines);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_MemchrFloor)->Arg(1000)->Arg(100000);

void BM_LaunchItemIn10000Sections(benchmark::State& state) {
  Fixture f;
  std::string launch;
  for (int i = 0; i < 10000; ++i) {
    const std::string name = "Item" + std::to_string(i);
    launch += "<" + name + ">\r\npath=C:\\Apps\\" + name +
              ".exe\r\nparams=/run\r\ndir=C:\\Work\r\n" + "<MenuItem caption=\"" + name +
              "\">\r\n</" + name + ">\r\n";
  }
  f.world.WriteFile("C:\\Tools\\lib\\launch.qef", launch);
  for (auto _ : state) {
    LaunchItem(f.platform, 0, "C:\\Tools\\lib\\launch.qef",
               "Item9999");  // the last section: every search runs the whole file
  }
  state.counters["launches"] = static_cast<double>(f.world.launches.size());
}
BENCHMARK(BM_LaunchItemIn10000Sections)->Unit(benchmark::kMillisecond);

void BM_LoadLines50MB(benchmark::State& state) {
  Fixture f;
  std::string text;
  while (text.size() < 50u * 1024 * 1024) text += TaskText(1000);
  f.world.WriteFile("C:\\big.qef", text);
  TStringList list;
  for (auto _ : state) {
    LoadLines(f.platform, list, "C:\\big.qef");
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_LoadLines50MB)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pendulon::sim

BENCHMARK_MAIN();
