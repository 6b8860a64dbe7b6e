// Speed of qefcheck's searches: the next three times of lines that fire often, once a year or
// once in decades, and the check of a whole task file.
// Run: cmake --build --preset native --target qefcheck_bench &&
// build/native/tests/checker/qefcheck_bench

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "checker/FolderCheck.h"
#include "checker/NextTimes.h"
#include "support/SimPlatform.h"

namespace pendulon::sim {
namespace {

struct Fixture {
  SimWorld world;
  SimPlatform platform{world, "C:\\Tools\\pendulon.exe", "p"};
  Fixture() { world.SetLocalTime(2026, 3, 5, 10, 7, 0, 200); }
};

Schedule S(int minute, int hour, int day, int month, int weekday) {
  Schedule s;
  s.value = {minute, hour, day, month, weekday};
  return s;
}

constexpr int _ = Schedule::kAny;

void BM_NextThree(benchmark::State& state, TimedLine line) {
  Fixture f;
  const LocalMinute after{2026, 3, 5, 10, 7};
  for (auto _ : state) {
    const std::vector<LocalMinute> next = NextTimes(line, {}, after, 3);
    if (next.size() != 3)
      state.SkipWithError("fewer than three times");
    benchmark::DoNotOptimize(next.data());
  }
}
BENCHMARK_CAPTURE(BM_NextThree, every_minute, TimedLine{"* * * * * x", S(_, _, _, _, _), -1});
BENCHMARK_CAPTURE(BM_NextThree, new_year, TimedLine{"0 0 1 1 * x", S(0, 0, 1, 1, _), -1});
BENCHMARK_CAPTURE(BM_NextThree, leap_day, TimedLine{"0 0 29 2 * x", S(0, 0, 29, 2, _), -1});
// 29 February on a Monday: decades apart.
BENCHMARK_CAPTURE(BM_NextThree, leap_monday, TimedLine{"0 0 29 2 2 x", S(0, 0, 29, 2, 2), -1});

// A line whose minutes lines above mostly take: only minute 59 of each hour is left to it.
void BM_NextThreeBehindRaisingLines(benchmark::State& state) {
  Fixture f;
  std::vector<TimedLine> above;
  for (int m = 0; m < 59; ++m) above.push_back({std::to_string(m) + " * *", S(m, _, _, _, _), 3});
  const TimedLine line{"* * * * * x", S(_, _, _, _, _), -1};
  for (auto _ : state) {
    const std::vector<LocalMinute> next = NextTimes(line, above, {2026, 3, 5, 10, 7}, 3);
    if (next.size() != 3)
      state.SkipWithError("fewer than three times");
  }
}
BENCHMARK(BM_NextThreeBehindRaisingLines);

// A line that never acts: lines above raise on each weekday.
void BM_NeverActs(benchmark::State& state) {
  Fixture f;
  std::vector<TimedLine> above;
  for (int w = 1; w <= 7; ++w)
    above.push_back({"* * * * " + std::to_string(w) + " ", S(_, _, _, _, w), 5});
  const TimedLine line{"* * * * * x", S(_, _, _, _, _), -1};
  for (auto _ : state) {
    if (!NextTimes(line, above, {2026, 3, 5, 10, 7}, 3).empty())
      state.SkipWithError("a time for a line that never acts");
  }
}
BENCHMARK(BM_NeverActs);

// A whole folder: lines of every kind, a tenth of them raising.
void BM_CheckFolder(benchmark::State& state) {
  Fixture f;
  std::string tasks, launch;
  for (int i = 0; i < state.range(0); ++i) {
    const std::string name = "Item " + std::to_string(i);
    tasks += i % 10 == 9 ? std::to_string(i % 60) + " " + std::to_string(i % 24) + " *\r\n"
                         : std::to_string(i % 60) + " " + std::to_string(i % 24) + " * * " +
                               std::to_string(i % 7 + 1) + " " + name + "\r\n";
    launch +=
        "<" + name + ">\r\npath=C:\\Tools\\job" + std::to_string(i) + ".exe\r\n</" + name + ">\r\n";
  }
  f.world.WriteFile("C:\\Tools\\lib\\tasks.qef", tasks);
  f.world.WriteFile("C:\\Tools\\lib\\launch.qef", launch);
  for (auto _ : state) {
    const FolderCheck check = CheckFolder(f.platform, "C:\\Tools", '\\');
    benchmark::DoNotOptimize(check.lines.data());
  }
}
BENCHMARK(BM_CheckFolder)->Arg(100)->Arg(1000);

}  // namespace
}  // namespace pendulon::sim

BENCHMARK_MAIN();
