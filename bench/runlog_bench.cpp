// The cost of one run-log event: with the log on (a launch line appended, the file opened and
// closed), and with it off (the one lookup that finds no file), in memory, so the figure is the
// writer's own work. And the cost of qefcheck's reading of a 32 MiB log.

#include <benchmark/benchmark.h>

#include <optional>
#include <set>
#include <string>

#include "app/RunLogWriter.h"
#include "checker/log/RunLogReader.h"
#include "support/SimPlatform.h"

namespace pendulon::sim {
namespace {

const LaunchRequest kRequest{"open", "C:\\Program Files\\Backup\\backup.exe", "/quiet /all",
                             "C:\\Program Files\\Backup"};

void LogLaunches(benchmark::State& state, RunLogWriter& log) {
  for (auto _ : state) {
    log.Launched("2026-12-09T08:30", 5, "Nightly backup", kRequest, 42, 3);
  }
}

void BM_RunLogEventSim(benchmark::State& state) {
  SimWorld world;
  world.SetLocalTime(2026, 12, 9, 8, 30, 0);
  SimPlatform platform(world, "C:\\Tools\\pendulon.exe", "p");
  const bool on = state.range(0) != 0;
  if (on)
    world.WriteFile("C:\\Tools\\lib\\pendulon.log", "");
  else
    world.MakeDirectory("C:\\Tools\\lib");
  RunLogWriter log(platform);
  LogLaunches(state, log);
}
BENCHMARK(BM_RunLogEventSim)->Arg(0)->Arg(1);

// qefcheck reading a log of 32 MiB in two files, every launch failed and each of another task
// line, the worst case for what it keeps: in memory, so the figure is the reader's own work.
void BM_ReadRunLog32MiB(benchmark::State& state) {
  SimWorld world;
  SimPlatform platform(world, "C:\\Tools\\pendulon.exe", "p");
  const AnsiString path = "C:\\Tools\\lib\\pendulon.log";
  std::string text;
  std::set<int> taskLines;
  for (int line = 1; text.size() < 32 * 1024 * 1024; ++line) {
    text += LogLine({"2026-12-09T08:30:00.214+01:00",
                     LogEvent::kLaunch,
                     {"2026-12-09T08:30", std::to_string(line), "Item", "open",
                      "C:\\Apps\\item.exe", "/run", "C:\\Apps", "2", "file not found", "3"}});
    if (line <= 1000)
      taskLines.insert(line);
  }
  const std::size_t half = text.find("\r\n", text.size() / 2) + 2;
  world.WriteFile(path + ".1", text.substr(0, half));
  world.WriteFile(path, text.substr(half));
  for (auto _ : state) {
    const std::optional<RunLogSummary> log = ReadRunLog(platform, path, taskLines);
    benchmark::DoNotOptimize(log);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 32 * 1024 * 1024);
}
BENCHMARK(BM_ReadRunLog32MiB)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pendulon::sim
