// A month of the whole program on the simulated machine, every kind of fault at once, decided by
// one seed; then every promise, checked against what the world saw happen (MonthCheck): each
// record of the run log true, each due launch made once or told why not. A failing seed prints
// itself and the shortest history that still fails, to be replayed as a fixed case.
//
//   PENDULON_MONTH_SEEDS=1000  seeds 1 to 1000 instead of the fixed ones (or a range: 501-1000)
//   PENDULON_MONTH_SEED=123    that seed alone
//   PENDULON_MONTH_SHRINK=0    a failing seed's whole history, not the shortest that still fails

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/MonthCheck.h"
#include "app/Program.h"
#include "support/MonthHistory.h"
#include "support/SimFixture.h"

namespace pendulon::sim {
namespace {

constexpr int kDays = 30;
constexpr std::uint64_t kFixedSeeds[] = {1, 2, 3, 4};

// One month of the program on its own machine.
class Month {
 public:
  explicit Month(const MonthHistory& history) : history_(history) {}

  void Play() {
    history_.Install(world_);
    // Records no check here reads, dropped as they pile up.
    std::function<void()> drop = [this, &drop] {
      world_.opened.clear();
      world_.windowLog.clear();
      world_.At(world_.Now() + kHour, drop);
    };
    world_.At(world_.Now(), drop);
    SimPlatform process(world_, kExe, "\"C:\\Tools\\pendulon.exe\" \"-w quillmar\"");
    RunProgram(process);
  }
  std::vector<Violation> Check() const { return CheckMonth(history_, world_); }
  SimWorld& World() { return world_; }

 private:
  MonthHistory history_;
  SimWorld world_;
};

std::vector<Violation> Play(const MonthHistory& history) {
  Month month(history);
  month.Play();
  return month.Check();
}

// The shortest history that still fails: the month cut just after the first violation, whole
// kinds of shell trouble switched off, then the faults taken out in ever smaller groups.
MonthHistory Shrink(MonthHistory history, std::int64_t firstViolation) {
  int runs = 0;
  const auto fails = [&runs](const MonthHistory& h) {
    ++runs;
    return !Play(h).empty();
  };
  MonthHistory cut = history;
  cut.end = std::min(history.end, firstViolation + 10 * kMinute);
  cut.faults.erase(std::remove_if(cut.faults.begin(), cut.faults.end(),
                                  [&](const Fault& f) { return f.at >= cut.end; }),
                   cut.faults.end());
  if (fails(cut))
    history = cut;
  for (bool MonthHistory::*kind : {&MonthHistory::shellBoxes, &MonthHistory::stalls}) {
    MonthHistory without = history;
    without.*kind = false;
    if (fails(without))
      history = without;
  }
  for (std::size_t chunk = history.faults.size() / 2; chunk > 0 && runs < 80; chunk /= 2) {
    for (std::size_t i = 0; i < history.faults.size() && runs < 80;) {
      MonthHistory without = history;
      const std::size_t n = std::min(chunk, without.faults.size() - i);
      without.faults.erase(without.faults.begin() + static_cast<long>(i),
                           without.faults.begin() + static_cast<long>(i + n));
      if (fails(without)) {
        history = without;
      } else {
        i += n;
      }
    }
  }
  return history;
}

std::string Trace(const MonthHistory& history) {
  Month month(history);
  month.Play();
  const std::vector<Violation> violations = month.Check();
  std::ostringstream out;
  SimWorld& world = month.World();
  out << "seed " << history.seed
      << ", first violation: " << (violations.empty() ? "none (flaky?)" : violations[0].what)
      << "\n";
  for (std::size_t i = 1; i < violations.size() && i < 6; ++i)
    out << "  then: " << violations[i].what << "\n";
  out << "the shortest history found (replay with PENDULON_MONTH_SEED=" << history.seed
      << "; boxes " << history.shellBoxes << ", stalls " << history.stalls
      << "):\n  first task file: "
      << Fault{Fault::kTasks, history.start, 0, history.firstTasks}.Describe(world) << "\n";
  for (const Fault& f : history.faults) out << "  " << f.Describe(world) << "\n";
  if (!violations.empty()) {
    out << "the run log around it:\n";
    for (const FileWrite& write : world.processWrites) {
      if (write.at < violations[0].at - 5 * kMinute || write.at > violations[0].at + 3 * kMinute)
        continue;
      std::string shown = write.bytes;
      for (std::size_t p = 0; (p = shown.find('\t', p)) != std::string::npos;)
        shown.replace(p, 1, "  ");
      out << "  " << shown;
    }
  }
  return out.str();
}

std::vector<std::uint64_t> Seeds() {
  if (const char* one = std::getenv("PENDULON_MONTH_SEED"))
    return {std::strtoull(one, nullptr, 10)};
  if (const char* many = std::getenv("PENDULON_MONTH_SEEDS")) {
    // "N" for 1 to N, "A-B" for A to B.
    char* dash = nullptr;
    const std::uint64_t first = std::strtoull(many, &dash, 10);
    const bool range = *dash == '-';
    std::vector<std::uint64_t> seeds;
    for (std::uint64_t s = range ? first : 1;
         s <= (range ? std::strtoull(dash + 1, nullptr, 10) : first); ++s)
      seeds.push_back(s);
    return seeds;
  }
  return {std::begin(kFixedSeeds), std::end(kFixedSeeds)};
}

TEST(RandomMonth, EachDueLaunchRunsOnceAtSecondZeroOrTheLogSaysWhyNotAndEveryRecordIsTrue) {
  const std::vector<std::uint64_t> seeds = Seeds();
  std::set<std::uint64_t> histories;
  for (const std::uint64_t seed : seeds) {
    const MonthHistory history = MonthHistory::Generate(seed, kDays);
    histories.insert(history.Digest());
    const std::vector<Violation> violations = Play(history);
    if (!violations.empty()) {
      const bool shrink = std::getenv("PENDULON_MONTH_SHRINK") == nullptr ||
                          std::string(std::getenv("PENDULON_MONTH_SHRINK")) != "0";
      ADD_FAILURE() << Trace(shrink ? Shrink(history, violations[0].at) : history);
      return;
    }
  }
  std::cout << seeds.size() << " seeds, " << histories.size() << " distinct histories\n";
}

// Seventy lines, every one on a drive that is gone for longer than the two hours played, no box
// ever answered: at most 8 launches wait in the shell, nothing crashes, and the log tells of
// every due minute of every line.
TEST(RandomMonth, SeventyLinesOnAGoneDriveNeverWaitMoreThanEightAtOnce) {
  MonthHistory h;
  h.start = UtcMsFromCivil(2027, 2, 1, 9, 15, 30, 0);
  h.end = h.start + 2 * kHour;
  h.summerFrom = h.winterFrom = h.end + kDay;
  h.shellBoxes = h.stalls = false;
  for (int i = 1; i <= 70; ++i)
    h.firstTasks += "* * * * * Drive" + std::to_string(i % 4 + 1) + "\r\n";
  h.faults.push_back(Fault{Fault::kDriveGone, h.start, 10 * kHour, {}});
  Month month(h);
  month.Play();
  const std::vector<Violation> violations = month.Check();
  EXPECT_TRUE(violations.empty()) << violations[0].what;
  int open = 0, most = 0;
  for (const BoxRecord& box : month.World().boxes)
    if (box.kind == BoxRecord::kShellBox && box.openedAt < h.end - kMinute)
      most = std::max(most, ++open);
  EXPECT_EQ(most, 8) << "the bound is reached, every box open till the end";
}

}  // namespace
}  // namespace pendulon::sim
