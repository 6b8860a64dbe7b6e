#pragma once
// Folders built to hurt qefcheck, drawn from a seed: random distinct schedules with long lines,
// every class of minute padded, long items under many sections, run logs of one kind of record
// with long fields. Each seed draws one of the shapes at a size asked for; the benchmarks play
// them at the bounds, the work budget at a smaller size.

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "support/WorstFolders.h"

namespace pendulon::sim {

struct HostileFolder {
  std::string shape;  // what the seed drew, for messages
  WorstFolder files;
  std::string log, oldLog;             // pendulon.log and pendulon.log.1; empty when absent
  std::vector<std::string> arguments;  // before the folder
};

// The shapes, in the order seeds draw them (seed % kHostileShapes).
inline constexpr int kHostileShapes = 6;

class HostileDice {
 public:
  explicit HostileDice(std::uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15u + 1) {}
  // 0 to n-1 (splitmix64: the same draws on every compiler, unlike the standard distributions).
  int Below(int n) {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15u);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    return static_cast<int>((z ^ (z >> 31)) % static_cast<std::uint64_t>(n));
  }

 private:
  std::uint64_t state_;
};

// A field that is "*" one time in four, else a value from low to high.
inline std::string RandomField(HostileDice& dice, int low, int high) {
  return dice.Below(4) == 0 ? "*" : std::to_string(low + dice.Below(high - low + 1));
}

// `count` lines of schedules that differ from each other, each padded to about `bytes` bytes
// with words after its item's name (so that the item, the whole rest, names no section); items
// are drawn from `names`.
inline Lines RandomDistinct(HostileDice& dice, int count, std::size_t bytes,
                            const std::vector<std::string>& names) {
  std::set<std::string> seen;
  Lines lines;
  while (static_cast<int>(lines.size()) < count) {
    std::string when = RandomField(dice, 0, 59) + " " + RandomField(dice, 0, 23) + " " +
                       RandomField(dice, 1, 31) + " " + RandomField(dice, 1, 12) + " " +
                       RandomField(dice, 1, 7);
    if (!seen.insert(when).second)
      continue;
    std::string line =
        when + " " + names[static_cast<std::size_t>(dice.Below(static_cast<int>(names.size())))];
    if (line.size() + 1 < bytes)
      line += " " + std::string(bytes - line.size() - 1, 'p');
    lines.push_back(std::move(line));
  }
  return lines;
}

// The folder of `lines`, its launch file holding a section for each of `names`, in that order.
inline WorstFolder WithSections(const Lines& lines, const std::vector<std::string>& names) {
  WorstFolder folder;
  for (const std::string& line : lines) folder.tasks += line + "\r\n";
  for (const std::string& name : names)
    folder.launch += "<" + name + ">\r\npath=C:\\Tools\\job.exe\r\n</" + name + ">\r\n";
  return folder;
}

// Item0 to Item<count - 1>, each followed by `pad` bytes of its own name.
inline std::vector<std::string> ItemNames(int count, std::size_t pad) {
  std::vector<std::string> names;
  for (int i = 0; i < count; ++i)
    names.push_back("Item" + std::to_string(i) + std::string(pad, 'q'));
  return names;
}

// A run log of `bytes` bytes of start records, none with an end, stamped from `day` on.
inline std::string StartsLog(std::size_t bytes, int day) {
  std::string log;
  for (int i = 0; log.size() < bytes; ++i) {
    const std::string second = std::to_string(10 + i % 50);
    log += "2026-03-0" + std::to_string(day) + "T08:00:" + second +
           ".000+01:00\tstart\t1.0\tC:\\\\Tools\\\\pendulon.exe\t" + std::to_string(1000 + i) +
           "\taccepted\r\n";
  }
  return log;
}

// A run log of `bytes` bytes of launch records for lines from 1 to `lines`, a different order
// each day, each field of the
// launch `field` control bytes long (the log keeps them as they are; qefcheck shows each as four).
inline std::string LaunchesLog(std::size_t bytes, int lines, std::size_t field, int day) {
  const std::string control(field, '\x01');
  std::string log;
  for (int i = 0; log.size() < bytes; ++i)
    log += "2026-03-0" + std::to_string(day) + "T08:31:00.200+01:00\tlaunch\t2026-03-0" +
           std::to_string(day) + "T08:31\t" + std::to_string(1 + (i + day * lines / 2) % lines) +
           "\tItem" + control + "\topen\t" + control + "\t" + control + "\t" + control +
           "\t42\tok\t1\r\n";
  return log;
}

// The folder seed draws, of about `lines` task lines and logs of about `logBytes` bytes each.
inline HostileFolder Hostile(std::uint64_t seed, int lines, std::size_t logBytes) {
  HostileDice dice(seed);
  HostileFolder folder;
  switch (seed % kHostileShapes) {
    case 0: {
      folder.shape = "random distinct schedules, 410-byte lines";
      const std::vector<std::string> names = ItemNames(150, 0);
      folder.files = WithSections(RandomDistinct(dice, lines, 410, names), names);
      break;
    }
    case 1: {
      folder.shape = "random distinct schedules, 60-byte lines";
      const std::vector<std::string> names = ItemNames(150, 0);
      folder.files = WithSections(RandomDistinct(dice, lines, 60, names), names);
      break;
    }
    case 2: {
      folder.shape = "every class of minute, lines padded by 380 bytes, --next 24h";
      Lines padded = EveryClassOfMinute(lines);
      for (std::string& line : padded) line += " " + std::string(380, 'p');
      folder.files = WithSections(padded, {"Item " + std::string(380, 'p')});
      folder.arguments = {"--next", "24h"};
      break;
    }
    case 3: {
      folder.shape =
          "random distinct schedules, 60-byte items below as many other sections, "
          "--next 24h";
      std::vector<std::string> names = ItemNames(lines, 50);
      const Lines table = RandomDistinct(dice, lines, 0, names);
      std::vector<std::string> sections = ItemNames(lines, 49);  // near names, not the items
      sections.insert(sections.end(), names.begin(), names.end());
      folder.files = WithSections(table, sections);
      folder.arguments = {"--next", "24h"};
      break;
    }
    case 4:
      folder.shape = "two logs of start records and no end, one task line";
      folder.files = WithSections({"* * * * * Item0"}, {"Item0"});
      folder.oldLog = StartsLog(logBytes, 1);
      folder.log = StartsLog(logBytes, 2);
      break;
    default: {
      folder.shape = "two logs of launch records with fields of control bytes";
      const std::vector<std::string> names = ItemNames(150, 0);
      folder.files = WithSections(RandomDistinct(dice, lines, 60, names), names);
      folder.oldLog = LaunchesLog(logBytes, lines, 1550, 1);
      folder.log = LaunchesLog(logBytes, lines, 1550, 2);
      break;
    }
  }
  return folder;
}

}  // namespace pendulon::sim
