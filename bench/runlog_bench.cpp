// The cost of one run-log event: with the log on (a launch line appended, the file opened and
// closed), and with it off (the one lookup that finds no file), on the simulated platform and
// on the machine's own file system.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "app/RunLog.h"
#include "platform/posix/PosixPlatform.h"
#include "support/SimPlatform.h"

namespace pendulon::sim {
namespace {

const LaunchRequest kRequest{"open", "C:\\Program Files\\Backup\\backup.exe", "/quiet /all",
                             "C:\\Program Files\\Backup"};

void LogLaunches(benchmark::State& state, RunLog& log) {
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
  RunLog log(platform);
  LogLaunches(state, log);
}
BENCHMARK(BM_RunLogEventSim)->Arg(0)->Arg(1);

void BM_RunLogEventPosix(benchmark::State& state) {
  PosixPlatform platform;
  const std::string path = "/tmp/pendulon_bench_" + std::to_string(getpid()) + ".log";
  if (state.range(0) != 0) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file != nullptr)
      std::fclose(file);
  }
  RunLog log(platform, path);
  LogLaunches(state, log);
  std::remove(path.c_str());
  std::remove((path + ".1").c_str());
}
BENCHMARK(BM_RunLogEventPosix)->Arg(0)->Arg(1);

}  // namespace
}  // namespace pendulon::sim
