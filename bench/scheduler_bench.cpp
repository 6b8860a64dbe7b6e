// Speed of the hot paths: the minute walk, a launch lookup and the loading of a task file.
// Run: cmake --build --preset native --target pendulon_bench && build/native/bench/pendulon_bench

#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "launcher/LaunchFileMemory.h"
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

// The heaviest minute: every one of `lines` task lines due (as many as the sections that fit),
// each opening its own item of a 4 MiB launch file, through the launch file's memory (second
// argument 1) or reading it anew each time.
void BM_HeaviestMinute(benchmark::State& state) {
  Fixture f;
  const int lines = static_cast<int>(state.range(0));
  std::string launch, tasks;
  for (int i = 0; launch.size() < 4u * 1024 * 1024 - 512; ++i) {
    const std::string name = "Item" + std::to_string(i);
    launch += "<" + name + ">\r\npath=C:\\Apps\\" + name + ".exe\r\nparams=/run " +
              std::string(360, 'x') + "\r\n</" + name + ">\r\n";
    if (i < lines)
      tasks += "* * * * * " + name + "\r\n";
  }
  f.world.WriteFile("C:\\Tools\\lib\\launch.qef", launch);
  auto table = std::make_unique<TStringList>();
  AppendLines(tasks, *table);
  struct : LaunchObserver {
    void Launched(const AnsiString&, const LaunchRequest&, std::intptr_t, std::uint64_t) override {}
    void LaunchedNothing(const AnsiString&, const AnsiString&) override {}
  } observer;
  LaunchFileMemory memory;
  LaunchFileMemory* const through = state.range(1) != 0 ? &memory : nullptr;
  f.world.AdvanceBy(60'000);  // the file was saved a minute before
  for (auto _ : state) {
    f.world.launches.clear();
    WalkTasks(f.platform, table, [&](const AnsiString& item, int) {
      LaunchItem(f.platform, 0, "C:\\Tools\\lib\\launch.qef", item, observer, through);
      return true;
    });
  }
  if (static_cast<int>(f.world.launches.size()) != table->Count())
    state.SkipWithError(("launched " + std::to_string(f.world.launches.size())).c_str());
  state.counters["due"] = table->Count();
  state.counters["reads"] = static_cast<double>(memory.Reads());
}
BENCHMARK(BM_HeaviestMinute)
    ->Args({1000, 0})
    ->Args({1000, 1})
    ->Args({10000, 1})
    ->Unit(benchmark::kMillisecond);

// The walk of a task file at its 4 MiB bound: 10,000 lines of 410 bytes, none due.
void BM_MinuteWalk4MiB(benchmark::State& state) {
  Fixture f;
  std::string text;
  for (int i = 0; i < 10000; ++i)
    text += std::to_string(8 + i % 50) + " " + std::to_string(i % 24) + " * * * Backup " +
            std::string(390, 'p') + "\r\n";
  auto table = std::make_unique<TStringList>();
  AppendLines(text, *table);
  const TaskRunner run = [&](const AnsiString&, int) { return true; };
  for (auto _ : state) WalkTasks(f.platform, table, run);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_MinuteWalk4MiB)->Unit(benchmark::kMillisecond);

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
