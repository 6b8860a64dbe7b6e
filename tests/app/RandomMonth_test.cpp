// A month of the whole program on the simulated machine, every kind of fault at once, decided by
// one seed; then the promises, checked in their own words from what an observer sees: the run
// log, the shell's record and the boxes. A failing seed prints itself and the shortest history
// that still fails, to be replayed as a fixed case.
//
//   PENDULON_MONTH_SEEDS=1000  seeds 1 to 1000 instead of the fixed ones (or a range: 501-1000)
//   PENDULON_MONTH_SEED=123    that seed alone

#include <algorithm>
#include <cstdlib>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/Program.h"
#include "support/LogTap.h"
#include "support/MonthHistory.h"
#include "support/SimFixture.h"

namespace pendulon::sim {
namespace {

constexpr int kDays = 30;
constexpr std::uint64_t kFixedSeeds[] = {1, 2, 3, 4, 5, 6};

struct Violation {
  std::int64_t at = 0;  // UTC ms
  std::string what;
};

std::int64_t Number(const std::string& text) {
  return std::strtoll(text.c_str(), nullptr, 10);
}

// "2027-03-09T10:17" as minutes since 1970 on the local clock.
std::int64_t LocalMinutes(const std::string& text) {
  return UtcMsFromCivil(static_cast<int>(Number(text.substr(0, 4))),
                        static_cast<int>(Number(text.substr(5, 2))),
                        static_cast<int>(Number(text.substr(8, 2))),
                        static_cast<int>(Number(text.substr(11, 2))),
                        static_cast<int>(Number(text.substr(14, 2))), 0, 0) /
         kMinute;
}

// "2027-03-09T10:17:00.214+01:00" as UTC milliseconds.
std::int64_t StampUtc(const std::string& stamp) {
  const std::int64_t local = LocalMinutes(stamp) * kMinute + Number(stamp.substr(17, 2)) * kSecond +
                             Number(stamp.substr(20, 3));
  const std::int64_t offset =
      (Number(stamp.substr(24, 2)) * 60 + Number(stamp.substr(27, 2))) * kMinute;
  return stamp[23] == '-' ? local + offset : local - offset;
}

// A task line is due in a local minute when it has an item and its five fields match it.
bool Due(const std::string& line, const SystemTime& t, std::string& item) {
  if (line.empty() || line[0] == '#')
    return false;
  std::vector<std::string> fields;
  std::size_t from = 0;
  for (int i = 0; i < 5; ++i) {
    const std::size_t space = line.find(' ', from);
    if (space == std::string::npos)
      return false;
    fields.push_back(line.substr(from, space - from));
    from = space + 1;
  }
  if (from >= line.size())
    return false;
  item = line.substr(from);
  const std::int64_t days = UtcMsFromCivil(t.year, t.month, t.day, 0, 0, 0, 0) / kDay;
  const int weekday = static_cast<int>((days % 7 + 11) % 7) + 1;  // 1 Sunday: 1970-01-04
  const int values[5] = {t.minute, t.hour, t.day, t.month, weekday};
  for (int i = 0; i < 5; ++i)
    if (fields[i] != "*" && fields[i] != std::to_string(values[i]))
      return false;
  return true;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  for (std::size_t from = 0, end; (end = text.find("\r\n", from)) != std::string::npos;
       from = end + 2)
    lines.push_back(text.substr(from, end - from));
  return lines;
}

class Month {
 public:
  explicit Month(const MonthHistory& history) : history_(history) {}

  void Play() {
    history_.Install(world_);
    // The log is read once a simulated minute, and records of no interest here are dropped.
    std::function<void()> take = [this, &take] {
      tap_.Take();
      world_.opened.clear();
      world_.windowLog.clear();
      world_.At(world_.Now() + kMinute, take);
    };
    world_.At(world_.Now(), take);
    SimPlatform process(world_, kExe, "\"C:\\Tools\\pendulon.exe\" \"-w quillmar\"");
    RunProgram(process);
    tap_.Take();
  }

  std::vector<Violation> Check();
  SimWorld& World() { return world_; }
  const LogTap& Tap() const { return tap_; }

 private:
  using LineMinute = std::pair<std::int64_t, int>;  // UTC minute, task line

  // The UTC minute showing that local label last, at or before the UTC minute before.
  std::optional<std::int64_t> UtcMinuteOf(std::int64_t label, std::int64_t before) const {
    std::optional<std::int64_t> best;
    for (const std::int64_t offset : {60, 120}) {
      const std::int64_t u = label - offset;
      const SystemTime t = world_.ToLocal(u * kMinute);
      if (u <= before &&
          UtcMsFromCivil(t.year, t.month, t.day, t.hour, t.minute, 0, 0) / kMinute == label)
        best = std::max(best.value_or(u), u);
    }
    return best;
  }
  std::optional<std::int64_t> MinuteOf(const std::string& text, std::int64_t stamp) const {
    return UtcMinuteOf(LocalMinutes(text), stamp / kMinute);
  }
  // The wall clock's reading that many milliseconds before it read at.
  std::int64_t WallBefore(std::int64_t at, std::int64_t milliseconds) const {
    std::int64_t wall = at - milliseconds;
    for (const Fault& f : history_.faults)
      if (f.kind == Fault::kStep && f.at >= wall - 90 * kSecond && f.at <= at + 90 * kSecond)
        wall -= f.length;
    return wall;
  }
  std::string TasksAt(std::int64_t at) const {
    std::string text = history_.firstTasks;
    for (const Fault& f : history_.faults)
      if (f.kind == Fault::kTasks && f.at <= at)
        text = f.text;
    return text;
  }
  bool Excused(std::int64_t at) const {
    for (const auto& [from, to] : excused_)
      if (at >= from && at <= to)
        return true;
    return false;
  }

  MonthHistory history_;
  SimWorld world_;
  LogTap tap_{world_, kMonthLog};
  std::vector<std::pair<std::int64_t, std::int64_t>> excused_;
};

std::vector<Violation> Month::Check() {
  std::vector<Violation> found;
  const auto fail = [&](std::int64_t at, std::string what) {
    found.push_back({at, std::move(what)});
  };

  // Every record, by what it says of which minute and line.
  std::map<std::tuple<std::int64_t, int, std::string>, int> launched;  // launch lines
  std::set<LineMinute> launchedOrWaiting, notLaunched;
  std::map<std::int64_t, int> notExaminedFrom;  // minute: the first line not examined
  std::set<std::int64_t> notWalked, late;
  std::vector<std::int64_t> launchEnds;                   // when launches returned
  std::vector<std::pair<std::int64_t, int>> waitingSaid;  // when, and how many boxes it implies
  std::vector<std::pair<std::int64_t, bool>> loads;       // when, and whether it loaded
  std::int64_t lost = 0, lastLost = -1, launchRecords = 0, firstMinute = -1, stopped = -1;
  bool ended = false;
  for (const TappedLine& line : tap_.Lines()) {
    const std::vector<std::string>& f = line.fields;
    const std::int64_t at = StampUtc(f[0]);
    const std::string& event = f[1];
    // The minute a record names is the last to show that label before the record, give or take
    // the largest step of the clock, which may have set it back since.
    const auto minute = [&](std::size_t i) {
      return MinuteOf(f[i], at + 90 * kSecond).value_or(-1);
    };
    if (event == "launch" || event == "waiting" || event == "no-launch") {
      // A launch is told when it returns, maybe after the clock has shown its minute once more
      // as summer time ended: its minute is found from when it began, the milliseconds it took
      // taken back on the wall clock with the steps it made meanwhile.
      const std::int64_t before =
          (event == "launch" ? WallBefore(at, Number(f[11])) : at) + 90 * kSecond;
      const LineMinute key{MinuteOf(f[2], before).value_or(-1), static_cast<int>(Number(f[3]))};
      if (event == "no-launch") {
        notLaunched.insert(key);
        if (f[5].find("still waiting in the shell") != std::string::npos)
          waitingSaid.emplace_back(at, f[5][0] == '8' ? 8 : 1);
      } else {
        launchedOrWaiting.insert(key);
      }
      if (event == "launch") {
        ++launchRecords;
        if (++launched[{key.first, key.second, f[4]}] == 2)
          fail(at, "line " + f[3] + " (" + f[4] + ") launched twice for " + f[2]);
        launchEnds.push_back(at);
      }
    } else if (event == "not-examined") {
      const std::int64_t m = minute(2);
      const int from = static_cast<int>(Number(f[3]));
      notExaminedFrom[m] = notExaminedFrom.count(m) ? std::min(notExaminedFrom[m], from) : from;
    } else if (event == "no-walk") {
      const std::int64_t last = minute(3);
      const auto first = UtcMinuteOf(LocalMinutes(f[2]), last);
      for (std::int64_t m = first.value_or(last); m <= last; ++m) notWalked.insert(m);
    } else if (event == "late-walk") {
      late.insert(minute(2));
    } else if (event == "load" || event == "load-failed") {
      loads.emplace_back(at, event == "load");
      if (firstMinute < 0)
        firstMinute = at / kMinute + 1;  // the first load follows the wait for second 00
    } else if (event == "lost") {
      lost += Number(f[2]);
      lastLost = at;
    } else if (event == "log-stopped") {
      stopped = at;
    } else if (event == "box-open" && f[2].find("stack overflow") != std::string::npos) {
      fail(at, "the program ran out of stack: " + f[2]);
    } else if (event == "end") {
      ended = true;
    }
  }

  // Records written while the log could not take them are gone; the minutes they may tell of
  // are excused, provided the log says it lost records. A launch is told when it returns, up to
  // two hours after its minute.
  for (const Fault& f : history_.faults) {
    if (f.kind == Fault::kDiskFull || f.kind == Fault::kLogHeld)
      excused_.emplace_back(f.at - 2 * kHour - kMinute, f.at + f.length + kMinute);
    if (f.kind == Fault::kNoRollOver && stopped >= f.at && stopped <= f.at + f.length)
      excused_.emplace_back(stopped - 2 * kHour - kMinute, f.at + f.length + kMinute);
  }

  // Each launch, as the shell saw it begin, falls in second 0 to 2 of its minute, unless its
  // walk began late and the log says why, or a launch before it held the walk until just before.
  std::sort(launchEnds.begin(), launchEnds.end());
  for (const ShellRecord& launch : world_.launches) {
    const std::int64_t into = launch.at - launch.at / kMinute * kMinute;
    if (into < 3 * kSecond || late.count(launch.at / kMinute) != 0 || Excused(launch.at))
      continue;
    const auto end = std::upper_bound(launchEnds.begin(), launchEnds.end(), launch.at);
    if (end == launchEnds.begin() || *std::prev(end) < launch.at - 3 * kSecond)
      fail(launch.at, "a launch came " + std::to_string(into / kSecond) +
                          " s into its minute, and the log says nothing of the walk being late");
  }
  // A line's minute has one outcome: it launched, or the log says why not.
  for (const LineMinute& key : launchedOrWaiting) {
    const auto from = notExaminedFrom.find(key.first);
    if (notLaunched.count(key) != 0 ||
        (from != notExaminedFrom.end() && key.second >= from->second))
      fail(key.first * kMinute,
           "line " + std::to_string(key.second) + " both launched and did not, in one minute");
  }

  // At most 8 launches wait in the shell at once.
  std::vector<std::pair<std::int64_t, int>> edges;
  for (const BoxRecord& box : world_.boxes) {
    if (box.kind != BoxRecord::kShellBox)
      continue;
    edges.emplace_back(box.openedAt, 1);
    edges.emplace_back(box.closedAt < 0 ? kNever : box.closedAt, -1);
  }
  // A line passed over because launches still wait in the shell: so many boxes are open, give or
  // take the largest step of the clock, since a box may close after a step back at a time the
  // wall clock showed before.
  std::vector<std::int64_t> opened, closed;
  for (const auto& [at, change] : edges) (change > 0 ? opened : closed).push_back(at);
  std::sort(opened.begin(), opened.end());
  std::sort(closed.begin(), closed.end());
  for (const auto& [at, boxes] : waitingSaid) {
    const std::int64_t step = 90 * kSecond;
    const auto open = (std::upper_bound(opened.begin(), opened.end(), at + step) - opened.begin()) -
                      (std::lower_bound(closed.begin(), closed.end(), at - step) - closed.begin());
    if (open < boxes) {
      fail(at, "a line was passed over as waiting in the shell, but " + std::to_string(open) +
                   " launches waited there");
      break;
    }
  }
  std::sort(edges.begin(), edges.end());
  int waiting = 0;
  for (const auto& [at, change] : edges) {
    if ((waiting += change) > 8) {
      fail(at, std::to_string(waiting) + " launches waited in the shell at once");
      break;
    }
  }

  // Every minute in which a line was due is accounted for: it launched, or a record says why
  // not. The table in force is the one the last load before the minute read.
  std::int64_t unaccounted = 0;
  const std::int64_t lastMinute = history_.end / kMinute - 1;
  std::size_t load = 0;
  std::vector<std::string> table;
  for (std::int64_t m = firstMinute; firstMinute >= 0 && m <= lastMinute; ++m) {
    const std::int64_t begins = m * kMinute;
    for (; load < loads.size() && loads[load].first < begins; ++load)
      table = loads[load].second ? Lines(TasksAt(loads[load].first)) : std::vector<std::string>();
    if (notWalked.count(m) != 0)
      continue;
    // A reload made while the walk of this minute waited is seen by it from the next line on.
    if (load < loads.size() && loads[load].first < begins + kMinute)
      continue;
    const SystemTime local = world_.ToLocal(begins);
    const auto from = notExaminedFrom.find(m);
    for (std::size_t i = 0; i < table.size(); ++i) {
      const int number = static_cast<int>(i) + 1;
      std::string item;
      if (!Due(table[i], local, item) || (from != notExaminedFrom.end() && number >= from->second))
        continue;
      if (launchedOrWaiting.count({m, number}) != 0 || notLaunched.count({m, number}) != 0)
        continue;
      if (Excused(begins)) {
        ++unaccounted;
        continue;
      }
      fail(begins, "line " + std::to_string(number) + " (" + item +
                       ") was due, and the log says neither that it launched nor why not");
    }
  }
  // One lost record may tell of many lines or minutes, so only the mark itself is asked for: a
  // count of records lost, or the last line of a log that stopped growing.
  if (unaccounted > 0 && lost == 0 && stopped < 0)
    fail(history_.end, std::to_string(unaccounted) + " due minutes unaccounted while the log " +
                           "failed, and no record told as lost");

  // The log never goes silent, never grows past 4 MiB, and the shell's record and its own agree.
  if (tap_.LargestFile() > 4 * 1024 * 1024 + 16 * 1024)
    fail(history_.end, "the log grew to " + std::to_string(tap_.LargestFile()) + " bytes");
  const std::int64_t shellLaunches = static_cast<std::int64_t>(world_.launches.size());
  const std::int64_t stillOpen = std::count_if(
      world_.boxes.begin(), world_.boxes.end(),
      [](const BoxRecord& b) { return b.kind == BoxRecord::kShellBox && b.closedAt < 0; });
  // A log stopped at 4 MiB until the end counts what it lost, but has no line left to say so.
  const bool stoppedForGood = stopped >= 0 && lastLost < stopped;
  if (launchRecords > shellLaunches ||
      (shellLaunches > launchRecords + lost + stillOpen && !stoppedForGood))
    fail(history_.end, std::to_string(shellLaunches) + " launches in the shell's record, " +
                           std::to_string(launchRecords) + " in the log, " + std::to_string(lost) +
                           " records lost");
  if (!ended && !Excused(history_.end))
    fail(history_.end, "the log does not tell of the end");
  std::sort(found.begin(), found.end(),
            [](const Violation& a, const Violation& b) { return a.at < b.at; });
  return found;
}

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
  out << "the shortest history found (replay with PENDULON_MONTH_SEED=" << history.seed
      << "; boxes " << history.shellBoxes << ", stalls " << history.stalls
      << "):\n  first task file: "
      << Fault{Fault::kTasks, history.start, 0, history.firstTasks}.Describe(world) << "\n";
  for (const Fault& f : history.faults) out << "  " << f.Describe(world) << "\n";
  if (!violations.empty()) {
    out << "the run log around it:\n";
    for (const TappedLine& line : month.Tap().Lines()) {
      const std::int64_t at = StampUtc(line.fields[0]);
      if (at < violations[0].at - 5 * kMinute || at > violations[0].at + 3 * kMinute)
        continue;
      out << " ";
      for (const std::string& field : line.fields) out << " " << field;
      out << "\n";
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

TEST(RandomMonth, EachDueLaunchRunsOnceAtSecondZeroOrTheLogSaysWhyNot) {
  for (const std::uint64_t seed : Seeds()) {
    const MonthHistory history = MonthHistory::Generate(seed, kDays);
    const std::vector<Violation> violations = Play(history);
    if (!violations.empty()) {
      ADD_FAILURE() << Trace(Shrink(history, violations[0].at));
      return;
    }
  }
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
