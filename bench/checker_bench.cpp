// Speed of qefcheck on whole folders of 1,000 task lines: an ordinary one, and the hardest ones
// found, each checked and reported as the command does it (text, and JSON for the largest).

#include <benchmark/benchmark.h>

#include <ostream>
#include <string>
#include <vector>

#include "checker/Checker.h"
#include "support/SimPlatform.h"

namespace pendulon::sim {
namespace {

using Lines = std::vector<std::string>;

// Lines of every kind, a tenth of them raising at the minute and hour they fix.
Lines Ordinary(int count) {
  Lines lines;
  for (int i = 0; i < count; ++i) {
    const std::string when = std::to_string(i % 60) + " " + std::to_string(i % 24) + " *";
    lines.push_back(i % 10 == 9
                        ? when
                        : when + " * " + std::to_string(i % 7 + 1) + " Item " + std::to_string(i));
  }
  return lines;
}

// Lines that raise in some minutes, fixing every minute, day, month and weekday between them,
// above lines that would fire every minute: the raising lines take every minute from them.
Lines RaisingAboveEveryMinute(int count) {
  Lines lines;
  for (int m = 0; m < 60; ++m) lines.push_back(std::to_string(m) + " * * * * ");
  for (int d = 1; d <= 31; ++d) lines.push_back("* * " + std::to_string(d) + " * * ");
  for (int m = 1; m <= 12; ++m) lines.push_back("* * * " + std::to_string(m) + " * ");
  for (int w = 1; w <= 7; ++w) lines.push_back("* * * * " + std::to_string(w) + " ");
  for (int i = static_cast<int>(lines.size()); i < count; ++i)
    lines.push_back("* * * * * Item " + std::to_string(i));
  return lines;
}

// Lines that tell every hour and minute and every date and weekday apart, all firing, with the
// raising lines last: the most classes of minute, none of which an early raise settles.
Lines EveryClassOfMinute(int count) {
  Lines lines;
  for (int h = 0; h < 24; ++h) lines.push_back("* " + std::to_string(h) + " * * * Item");
  for (int d = 1; d <= 31; ++d) lines.push_back("* * " + std::to_string(d) + " * * Item");
  for (int m = 1; m <= 12; ++m) lines.push_back("* * * " + std::to_string(m) + " * Item");
  for (int w = 1; w <= 7; ++w) lines.push_back("* * * * " + std::to_string(w) + " Item");
  while (static_cast<int>(lines.size()) < count - 60) lines.push_back("* * * * * Item");
  for (int m = 0; m < 60; ++m) lines.push_back(std::to_string(m) + " * * * * ");
  return lines;
}

// Lines that raise in some minutes and on some days, telling every minute of the day and every
// date and weekday apart, above lines that fire every minute.
Lines EveryClassRaising(int count) {
  Lines lines;
  for (int m = 0; m < 60; ++m) lines.push_back(std::to_string(m) + " * * * * ");
  for (int h = 0; h < 24; ++h) lines.push_back("* " + std::to_string(h) + " * * * ");
  for (int d = 1; d <= 31; ++d) lines.push_back("* * " + std::to_string(d) + " * * ");
  for (int m = 1; m <= 12; ++m) lines.push_back("* * * " + std::to_string(m) + " * ");
  for (int w = 1; w <= 7; ++w) lines.push_back("* * * * " + std::to_string(w) + " ");
  while (static_cast<int>(lines.size()) < count) lines.push_back("* * * * * Item");
  return lines;
}

// Lines that each fire in one minute of a year on one weekday: years apart, each in minutes of
// its own.
Lines RareAndDistinct(int count) {
  Lines lines;
  for (int i = 0; i < count; ++i)
    lines.push_back(std::to_string(i * 7 % 60) + " " + std::to_string(i * 5 % 24) + " " +
                    std::to_string(i % 28 + 1) + " " + std::to_string(i / 28 % 12 + 1) + " " +
                    std::to_string(i % 7 + 1) + " Item " + std::to_string(i));
  return lines;
}

// Half the lines raise on one day each; each line of the other half is not examined in the
// minutes of every one of them.
Lines ManyOverlaps(int count) {
  Lines lines;
  for (int i = 0; i < count / 2; ++i)
    lines.push_back(std::to_string(i % 60) + " " + std::to_string(i % 24) + " " +
                    std::to_string(i % 28 + 1) + " " + std::to_string(i % 12 + 1) + " ");
  for (int i = count / 2; i < count; ++i) lines.push_back("* * * * * Item " + std::to_string(i));
  return lines;
}

struct Folder {
  SimWorld world;
  SimPlatform platform{world, "C:\\Tools\\qefcheck.exe", "qefcheck"};

  // Each line's item gets a section; `extra` more sections come first.
  Folder(const Lines& lines, int extra = 0) {
    world.SetLocalTime(2026, 3, 5, 10, 7, 0, 200);
    std::string tasks, launch;
    for (int i = 0; i < extra; ++i)
      launch += "<Other " + std::to_string(i) + ">\r\npath=C:\\Tools\\other.exe\r\n</Other " +
                std::to_string(i) + ">\r\n";
    for (const std::string& line : lines) {
      tasks += line + "\r\n";
      const std::size_t item = line.find(" Item");
      if (item != std::string::npos) {
        const std::string name = line.substr(item + 1);
        launch += "<" + name + ">\r\npath=C:\\Tools\\job.exe\r\n</" + name + ">\r\n";
      }
    }
    world.WriteFile("C:\\Tools\\lib\\tasks.qef", tasks);
    world.WriteFile("C:\\Tools\\lib\\launch.qef", launch);
  }
};

// Discards what is written: the report's size must not be the memory's concern here.
class NullBuffer : public std::streambuf {
 protected:
  int overflow(int c) override { return c; }
  std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

void Check(benchmark::State& state, const Lines& lines, int extraSections, bool json) {
  Folder folder(lines, extraSections);
  NullBuffer null;
  std::ostream out(&null), err(&null);
  const std::vector<std::string> arguments =
      json ? std::vector<std::string>{"--json"} : std::vector<std::string>{};
  for (auto _ : state) {
    if (RunChecker(folder.platform, arguments, '\\', out, err) == 2)
      state.SkipWithError("the folder was not checked");
  }
}

void BM_CheckFolder(benchmark::State& state) {
  Check(state, Ordinary(static_cast<int>(state.range(0))), 0, false);
}
BENCHMARK(BM_CheckFolder)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_CheckRaisingAboveEveryMinute(benchmark::State& state) {
  Check(state, RaisingAboveEveryMinute(static_cast<int>(state.range(0))), 0, false);
}
BENCHMARK(BM_CheckRaisingAboveEveryMinute)->Arg(113)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_CheckEveryClassOfMinute(benchmark::State& state) {
  Check(state, EveryClassOfMinute(1000), 0, false);
}
BENCHMARK(BM_CheckEveryClassOfMinute)->Unit(benchmark::kMillisecond);

void BM_CheckEveryClassRaising(benchmark::State& state) {
  Check(state, EveryClassRaising(1000), 0, false);
}
BENCHMARK(BM_CheckEveryClassRaising)->Unit(benchmark::kMillisecond);

void BM_CheckRareAndDistinct(benchmark::State& state) {
  Check(state, RareAndDistinct(1000), 0, false);
}
BENCHMARK(BM_CheckRareAndDistinct)->Unit(benchmark::kMillisecond);

void BM_CheckManyOverlapsJson(benchmark::State& state) {
  Check(state, ManyOverlaps(1000), 0, true);
}
BENCHMARK(BM_CheckManyOverlapsJson)->Unit(benchmark::kMillisecond);

// The items' sections lie below 10,000 others in the launch file.
void BM_CheckBelowManySections(benchmark::State& state) {
  Check(state, RareAndDistinct(1000), 10000, false);
}
BENCHMARK(BM_CheckBelowManySections)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pendulon::sim
