#include "support/MonthHistory.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "support/SimPaths.h"

namespace pendulon::sim {
namespace {

std::uint64_t Mix(std::uint64_t x) {
  x += 0x9E3779B97F4A7C15ULL;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
  return x ^ (x >> 31);
}

std::uint64_t Mix(std::uint64_t seed, std::int64_t at, const std::string& text) {
  std::uint64_t h = Mix(seed ^ static_cast<std::uint64_t>(at));
  for (const char c : text) h = Mix(h ^ static_cast<unsigned char>(c));
  return h;
}

// Each seed's stream starts from its own mixed state, so that seed N+1 never replays seed N's
// draws shifted by one.
class Dice {
 public:
  explicit Dice(std::uint64_t seed) : state_(Mix(seed ^ 0xD1B54A32D192ED03ULL)) {}
  std::uint64_t Next() { return Mix(state_ += 0x632BE59BD9B4E019ULL); }
  // From lo to hi, both included.
  std::int64_t Between(std::int64_t lo, std::int64_t hi) {
    return lo + static_cast<std::int64_t>(Next() % static_cast<std::uint64_t>(hi - lo + 1));
  }
  bool OneIn(std::uint64_t n) { return Next() % n == 0; }
  template <typename T, std::size_t N>
  const T& Pick(const T (&from)[N]) {
    return from[Next() % N];
  }

 private:
  std::uint64_t state_;
};

// Items of the launch file: on drive C, on the removable drive D, one whose file is gone, one
// with no path and one with no section at all.
const char* const kItems[] = {"Good1",  "Good2",  "Good3",   "Drive1", "Drive2",
                              "Drive3", "Drive4", "Missing", "Empty",  "Ghost"};
const char* const kMissingFile = "C:\\Missing\\gone.exe";

// A section of the launch file; with dice, its keys vary, and now and then a <MenuItem line
// hides its path or the section is left out.
std::string Section(const std::string& name, const std::string& path, Dice* dice) {
  std::string keys = "path=" + path + "\r\n";
  if (dice != nullptr) {
    const char* const actions[] = {"", "", "open", "print", "runas"};
    const char* const params[] = {"", "", "/quiet", "--from pendulon \"a b\"", "x=y"};
    const char* const dirs[] = {"", "", "C:\\Work", "D:\\", "C:\\Apps\\Sub"};
    for (const auto& [key, value] :
         {std::pair{"action=", dice->Pick(actions)}, std::pair{"params=", dice->Pick(params)},
          std::pair{"dir=", dice->Pick(dirs)}})
      if (*value != '\0')
        keys += std::string(key) + value + "\r\n";
    if (dice->OneIn(12))
      return "";
    if (dice->OneIn(12))
      keys = "<MenuItem caption=\"" + name + "\">\r\n" + keys;
  }
  return "<" + name + ">\r\n" + keys + "</" + name + ">\r\n";
}

std::string LaunchFile(Dice* dice) {
  std::string text;
  for (int i = 1; i <= 3; ++i)
    text +=
        Section("Good" + std::to_string(i), "C:\\Apps\\good" + std::to_string(i) + ".exe", dice);
  for (int i = 1; i <= 4; ++i)
    text += Section("Drive" + std::to_string(i), "D:\\Tools\\d" + std::to_string(i) + ".exe", dice);
  return text + Section("Missing", kMissingFile, dice) + "<Empty>\r\ndir=C:\\\r\n</Empty>\r\n";
}

std::string TaskLine(Dice& dice, const std::vector<std::string>& earlier) {
  const std::string item = kItems[dice.Between(0, 9)];
  const std::int64_t kind = dice.Between(0, 99);
  if (kind < 45)
    return "* * * * * " + item;
  if (kind < 60)
    return std::to_string(dice.Between(0, 59)) + " * * * * " + item;
  if (kind < 65)
    return std::to_string(dice.Between(0, 59)) + " " + std::to_string(dice.Between(0, 23)) +
           " * * * " + item;
  if (kind < 70)
    return "* * * * " + std::to_string(dice.Between(1, 7)) + " " + item;
  if (kind < 72)
    return "0" + std::to_string(dice.Between(0, 9)) + " * * * * " + item;  // never matches
  if (kind < 79)
    return "# " + item;
  if (kind < 83)
    return "";
  if (kind < 88) {
    const char* const raising[] = {"x", "* * *", "* * * *", "* * * * *", "* * * * * "};
    return raising[dice.Between(0, 4)];
  }
  return earlier.empty() ? "* * * * * " + item : earlier[dice.Next() % earlier.size()];
}

std::string TaskFile(Dice& dice) {
  // A quarter of the files are long enough to fill every place a waiting launch may take.
  const std::int64_t count = dice.OneIn(4) ? dice.Between(12, 24) : dice.Between(1, 10);
  std::vector<std::string> lines;
  std::string text;
  for (std::int64_t i = 0; i < count; ++i) {
    lines.push_back(TaskLine(dice, lines));
    text += lines.back() + "\r\n";
  }
  return text;
}

// The text with one line taken out, or one new line put in, at the top or anywhere.
std::string Edited(const std::string& text, Dice& dice) {
  std::vector<std::string> lines;
  for (std::size_t from = 0, end; (end = text.find("\r\n", from)) != std::string::npos;
       from = end + 2)
    lines.push_back(text.substr(from, end - from));
  if (lines.size() > 1 && dice.OneIn(2)) {
    lines.erase(lines.begin() + static_cast<long>(dice.Next() % lines.size()));
  } else {
    const std::size_t at = dice.OneIn(2) ? 0 : dice.Next() % (lines.size() + 1);
    lines.insert(lines.begin() + static_cast<long>(at), TaskLine(dice, lines));
  }
  std::string edited;
  for (const std::string& line : lines) edited += line + "\r\n";
  return edited;
}

const Fault* Around(const std::vector<Fault>& faults, Fault::Kind kind, std::int64_t at) {
  for (const Fault& f : faults)
    if (f.kind == kind && at >= f.at && at < f.at + f.length)
      return &f;
  return nullptr;
}

// Fills the run log up to that size with lines of no event, as if it had been written for long.
void Pad(SimWorld& world, std::size_t size) {
  SimFile* log = world.File(kMonthLog);
  const std::string filler = "2000-01-01T00:00:00.000+00:00\tfiller\r\n";
  while (log != nullptr && log->bytes.size() < size) log->bytes += filler;
}

}  // namespace

std::string Fault::Describe(const SimWorld& world) const {
  const SystemTime t = world.ToLocal(at);
  char when[64];
  std::snprintf(when, sizeof when, "%04u-%02u-%02u %02u:%02u:%02u.%03u", unsigned{t.year},
                unsigned{t.month}, unsigned{t.day}, unsigned{t.hour}, unsigned{t.minute},
                unsigned{t.second}, unsigned{t.milliseconds});
  const char* const names[] = {"task file replaced",
                               "clock stepped",
                               "timers refused",
                               "task file locked",
                               "launch file locked",
                               "drive D: gone",
                               "disk full",
                               "run log held",
                               "no roll-over",
                               "task file edited",
                               "launch file replaced",
                               "zone moved",
                               "zone's next change moved",
                               "machine asleep"};
  std::string text = std::string(when) + "  " + names[kind];
  if (kind == kTasks || kind == kEdit || kind == kLaunchFile) {
    std::string shown = this->text;
    for (std::size_t p = 0; (p = shown.find("\r\n", p)) != std::string::npos;)
      shown.replace(p, 2, " | ");
    return text + ": " + shown;
  }
  return text + " " + std::to_string(length) + " ms";
}

MonthHistory MonthHistory::Generate(std::uint64_t seed, int days) {
  Dice dice(seed);
  MonthHistory h;
  h.seed = seed;
  // A day of 2027 before summer time, at any time of day; UTC+1 until summer time begins.
  const std::int64_t day = UtcMsFromCivil(2027, static_cast<int>(dice.Between(1, 11)),
                                          static_cast<int>(dice.Between(1, 28)), 0, 0, 0, 0);
  h.start = day + dice.Between(0, kDay - 1) - kHour;
  // The family leaves at any second of the last minute.
  h.end = h.start + days * kDay + dice.Between(0, kMinute - 1);
  const std::int64_t firstDay = day + kDay;
  h.summerFrom = firstDay + dice.Between(1, days / 3) * kDay + kHour;
  h.winterFrom = firstDay + dice.Between(days / 2, days - 2) * kDay + kHour;
  h.firstTasks = TaskFile(dice);
  h.firstLaunch = LaunchFile(dice.OneIn(2) ? &dice : nullptr);

  const auto anyTime = [&] { return h.start + dice.Between(2 * kMinute, days * kDay - kHour); };
  const auto add = [&](Fault::Kind kind, std::int64_t at, std::int64_t length,
                       std::string text = {}) {
    h.faults.push_back(Fault{kind, at, length, std::move(text)});
  };
  for (std::int64_t n = dice.Between(1, 3); n > 0; --n)
    add(Fault::kDiskFull, anyTime(), dice.Between(10, 120) * kMinute);
  for (std::int64_t n = dice.Between(0, 2); n > 0; --n)
    add(Fault::kLogHeld, anyTime(), dice.Between(5, 60) * kMinute);
  if (dice.OneIn(2))
    add(Fault::kNoRollOver, anyTime(), dice.Between(12, 72) * kHour);
  for (std::int64_t n = dice.Between(days * 2, days * 8); n > 0; --n)
    add(Fault::kTasks, anyTime(), 0, TaskFile(dice));
  for (std::int64_t n = dice.Between(days / 4, days); n > 0; --n) {
    const std::int64_t at = anyTime();
    if (dice.OneIn(2))
      add(Fault::kTasks, at, 0, TaskFile(dice));  // the editor still holds the file it saved
    add(Fault::kLockTasks, at, dice.Between(5, 600) * kSecond);
  }
  for (std::int64_t n = dice.Between(days / 6, days / 2); n > 0; --n)
    add(Fault::kLaunchFile, anyTime(), 0, LaunchFile(&dice));
  for (std::int64_t n = dice.Between(days, days * 4); n > 0; --n) {
    const std::int64_t amount =
        dice.OneIn(2) ? dice.Between(500, 3000) : dice.Between(3000, 90 * kSecond);
    add(Fault::kStep, anyTime(), dice.OneIn(2) ? amount : -amount);
  }
  // Clocks set by hand, or from a wrong date: 5 minutes to 10 hours either way.
  for (std::int64_t n = dice.Between(days / 10, days / 4); n > 0; --n) {
    const std::int64_t amount = dice.Between(5 * kMinute, 600 * kMinute) + dice.Between(0, 59999);
    add(Fault::kStep, anyTime(), dice.OneIn(2) ? amount : -amount);
  }
  for (std::int64_t n = dice.Between(1, 4); n > 0; --n) {
    const std::int64_t hours = dice.OneIn(4) ? 30 * kMinute : dice.Between(1, 6) * kHour;
    add(Fault::kZone, anyTime(), dice.OneIn(2) ? hours : -hours);
  }
  for (std::int64_t n = dice.Between(0, 2); n > 0; --n)
    add(Fault::kRule, anyTime(), dice.OneIn(3) ? 0 : dice.Between(-14, 14) * kDay);
  for (std::int64_t n = dice.Between(days / 6, days / 2); n > 0; --n) {
    const std::int64_t at = anyTime(), length = dice.Between(2 * kMinute, 6 * kHour);
    const bool apart = std::none_of(h.faults.begin(), h.faults.end(), [&](const Fault& f) {
      return f.kind == Fault::kSleep && at < f.at + f.length + kMinute &&
             f.at < at + length + kMinute;
    });
    if (apart)
      add(Fault::kSleep, at, length);
  }
  for (std::int64_t n = dice.Between(days / 6, days / 2); n > 0; --n)
    add(Fault::kNoTimers, anyTime(), dice.Between(1, 30) * kMinute);
  for (std::int64_t n = dice.Between(days / 4, days); n > 0; --n)
    add(Fault::kLockLaunch, anyTime(), dice.Between(10, 600) * kSecond);
  for (std::int64_t n = dice.Between(days / 6, days / 3); n > 0; --n)
    add(Fault::kDriveGone, anyTime(), dice.Between(20, 180) * kMinute);
  // Now and then the family leaves while launches from the gone drive wait in their boxes.
  if (dice.OneIn(3))
    add(Fault::kDriveGone, h.end - dice.Between(1, 30) * kMinute, 2 * kHour);
  // Saves a line at a time, a few seconds into a minute, when a walk may wait in a box: half of
  // them while the drive is gone.
  std::vector<std::int64_t> gone;
  for (const Fault& f : h.faults)
    if (f.kind == Fault::kDriveGone)
      gone.push_back(f.at + dice.Between(0, f.length / kMinute) * kMinute);
  for (std::int64_t n = dice.Between(days, days * 3); n > 0; --n) {
    const std::int64_t minute =
        dice.OneIn(2) || gone.empty() ? anyTime() : gone[dice.Next() % gone.size()];
    add(Fault::kEdit, minute / kMinute * kMinute + dice.Between(1000, 20000), 0);
  }
  std::stable_sort(h.faults.begin(), h.faults.end(),
                   [](const Fault& a, const Fault& b) { return a.at < b.at; });
  // An edit changes the file as it stands then.
  std::string tasks = h.firstTasks;
  for (Fault& f : h.faults) {
    if (f.kind == Fault::kEdit)
      f.text = Edited(tasks, dice);
    if (f.kind == Fault::kTasks || f.kind == Fault::kEdit)
      tasks = f.text;
  }
  return h;
}

std::uint64_t MonthHistory::Digest() const {
  std::uint64_t d = Mix(static_cast<std::uint64_t>(start), end, firstTasks + firstLaunch);
  d = Mix(d, summerFrom * 3 + winterFrom, shellBoxes ? "boxes" : "");
  for (const Fault& f : faults)
    d = Mix(d ^ static_cast<std::uint64_t>(f.kind), f.at * 31 + f.length, f.text);
  return d;
}

void MonthHistory::Install(SimWorld& world) const {
  world.SetOffsetFrom(INT64_MIN, kHour);
  world.SetOffsetFrom(summerFrom, 2 * kHour);
  world.SetOffsetFrom(winterFrom, kHour);
  const SystemTime local = world.ToLocal(start);
  world.SetLocalTime(local.year, local.month, local.day, local.hour, local.minute, local.second,
                     local.milliseconds);
  // The month ends when the watchdog sees the family gone: a day after they left by the clock,
  // however a step of the clock or a sleep moved that moment, the simulation stops regardless.
  world.SetDeadline(end + kDay);
  world.recordedTicks = {60000};
  world.recordedReads = {SimWorld::Key(kTasks)};
  world.recordedWrites = {SimWorld::Key(kLaunch), SimWorld::Key(kMonthLog)};
  world.WriteFile(kTasks, firstTasks);
  world.WriteFile(kLaunch, firstLaunch.empty() ? LaunchFile(nullptr) : firstLaunch);
  world.WriteFile(kMonthLog, "");
  const std::vector<WindowHandle> family = world.OpenFamily();
  world.At(end, [&world, family] {
    for (const WindowHandle window : family) world.RemoveWindow(window);
    world.SetDeadline(world.Now() + kDay);
  });

  // Overlapping outages of one kind end when the last of them does.
  auto refusals = std::make_shared<int>(0);
  auto fulls = std::make_shared<int>(0);
  auto taskLocks = std::make_shared<int>(0), launchLocks = std::make_shared<int>(0);
  auto logHolds = std::make_shared<int>(0), oldLogHolds = std::make_shared<int>(0);
  for (const Fault& f : faults) {
    const std::int64_t until = f.at + f.length;
    switch (f.kind) {
      case Fault::kTasks:
      case Fault::kEdit:
        world.At(f.at, [&world, text = f.text] { world.WriteFile(kTasks, text); });
        break;
      case Fault::kLaunchFile:
        world.At(f.at, [&world, text = f.text] { world.WriteFile(kLaunch, text); });
        break;
      case Fault::kStep:
        world.At(f.at, [&world, step = f.length] { world.StepClock(step); });
        break;
      case Fault::kZone:
        world.At(f.at, [&world, shift = f.length] { world.ShiftZone(shift); });
        break;
      case Fault::kRule:
        world.At(f.at, [&world, move = f.length] {
          SimWorld::Rules later;
          bool moved = false;
          for (const auto& [from, offset] : world.CurrentRules()) {
            if (from <= world.Now())
              continue;
            if (!moved) {
              moved = true;
              if (move != 0)
                later.emplace_back(std::max(from + move, world.Now() + kMinute), offset);
              continue;
            }
            later.emplace_back(from, offset);
          }
          world.ReplaceFutureRules(later);
        });
        break;
      case Fault::kSleep:
        world.At(f.at, [&world, length = f.length] { world.Sleep(length); });
        break;
      case Fault::kNoTimers:
        world.At(f.at, [&world, refusals] { world.refuseEveryTimer = ++*refusals > 0; });
        world.At(until, [&world, refusals] { world.refuseEveryTimer = --*refusals > 0; });
        break;
      case Fault::kLockTasks:
        world.At(f.at, [&world, taskLocks] { world.LockForWriting(kTasks, ++*taskLocks > 0); });
        world.At(until, [&world, taskLocks] { world.LockForWriting(kTasks, --*taskLocks > 0); });
        break;
      case Fault::kLockLaunch:
        world.At(f.at, [&world, launchLocks] {
          world.LockForWriting(kLaunch, ++*launchLocks > 0);
          world.Note(kLaunchLocked, true);
        });
        world.At(until, [&world, launchLocks] {
          world.LockForWriting(kLaunch, --*launchLocks > 0);
          world.Note(kLaunchLocked, *launchLocks > 0);
        });
        break;
      case Fault::kDriveGone:
        break;  // what a launch from D: meets is decided below
      case Fault::kDiskFull:
        world.At(f.at, [&world, fulls] {
          world.diskFull = ++*fulls > 0;
          world.Note(kDiskFull, true);
          // The log is due to roll over: the old one moves away, and the fresh one cannot be made.
          Pad(world, 1024 * 1024 + 1);
        });
        world.At(until, [&world, fulls] {
          world.diskFull = --*fulls > 0;
          world.Note(kDiskFull, world.diskFull);
        });
        break;
      case Fault::kLogHeld:
      case Fault::kNoRollOver: {
        // The very file held at the start is let go at the end, whatever its name by then. A log
        // held so is the log; a .1 held so keeps the log from rolling over.
        auto held = std::make_shared<std::shared_ptr<SimFile>>();
        const bool log = f.kind == Fault::kLogHeld;
        const char* path = log ? kMonthLog : kMonthOldLog;
        const std::shared_ptr<int> holds = log ? logHolds : oldLogHolds;
        world.At(f.at, [&world, held, path, log, holds] {
          if (!world.Exists(path))
            world.WriteFile(path, "");
          *held = world.Shared(path);
          (*held)->heldOpen = true;
          ++*holds;
          world.Note(log ? kLogHeld : kOldLogHeld, true);
          // A log that could not roll over for weeks before: it reaches 4 MiB within hours.
          if (!log)
            Pad(world, 4 * 1024 * 1024 - 64 * 1024);
        });
        world.At(until, [&world, held, log, holds] {
          if (--*holds == 0 && *held)
            (*held)->heldOpen = false;
          world.Note(log ? kLogHeld : kOldLogHeld, *holds > 0);
        });
        break;
      }
    }
  }
  const std::uint64_t s = seed;
  const std::vector<Fault> all = faults;
  const bool boxes = shellBoxes, stalling = stalls;
  world.shellStall = [s, stalling](const ShellRecord& r) -> std::int64_t {
    const std::uint64_t h = Mix(s ^ 1, r.at, r.file);
    return stalling && h % 200 == 0 ? static_cast<std::int64_t>(h / 200 % (3 * kMinute)) : 0;
  };
  world.shellBox = [s, all, boxes](const ShellRecord& r) -> std::int64_t {
    const std::uint64_t h = Mix(s ^ 2, r.at, r.file);
    if (r.file.rfind("D:", 0) == 0) {
      if (const Fault* gone = Around(all, Fault::kDriveGone, r.at))
        return gone->at + gone->length - r.at + static_cast<std::int64_t>(h % (10 * kMinute));
    }
    const bool missing = r.file == kMissingFile;
    if (!boxes || h % (missing ? 3 : 500) != 0)
      return 0;
    const std::uint64_t kind = h / 500 % 10000;
    if (kind == 0)
      return kNever;
    if (kind < 900)
      return kHour + static_cast<std::int64_t>(h / 7 % kHour);
    return static_cast<std::int64_t>(h / 11 % (5 * kMinute));
  };
  world.shellAnswer = [all](const ShellRecord& r) -> std::intptr_t {
    if (r.file == kMissingFile)
      return 2;
    return r.file.rfind("D:", 0) == 0 && Around(all, Fault::kDriveGone, r.at) != nullptr ? 3 : 42;
  };
  world.boxAnswer = [s](const BoxRecord& b) -> std::int64_t {
    const std::uint64_t h = Mix(s ^ 3, b.openedAt, b.text);
    return h % 300 == 0 ? kHour + static_cast<std::int64_t>(h / 300 % (2 * kHour))
                        : static_cast<std::int64_t>(h / 300 % (5 * kMinute));
  };
}

}  // namespace pendulon::sim
