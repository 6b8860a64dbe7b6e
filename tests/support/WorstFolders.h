#pragma once
// Task folders of the shapes that make qefcheck work hardest, for the benchmarks and for the test
// that its work grows no faster than the folder: each a task file of `count` lines and a launch
// file with a section for every item named.

#include <string>
#include <vector>

namespace pendulon::sim {

struct WorstFolder {
  std::string tasks, launch;
};

using Lines = std::vector<std::string>;

// Each line's item gets a section; `extra` sections of other items come first.
inline WorstFolder FolderOf(const Lines& lines, int extra = 0) {
  WorstFolder folder;
  for (int i = 0; i < extra; ++i)
    folder.launch += "<Other " + std::to_string(i) + ">\r\npath=C:\\Tools\\other.exe\r\n</Other " +
                     std::to_string(i) + ">\r\n";
  for (const std::string& line : lines) {
    folder.tasks += line + "\r\n";
    const std::size_t item = line.find(" Item");
    if (item != std::string::npos) {
      const std::string name = line.substr(item + 1);
      folder.launch += "<" + name + ">\r\npath=C:\\Tools\\job.exe\r\n</" + name + ">\r\n";
    }
  }
  return folder;
}

// Lines of every kind, a tenth of them raising at the minute and hour they fix.
inline Lines Ordinary(int count) {
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
inline Lines RaisingAboveEveryMinute(int count) {
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
inline Lines EveryClassOfMinute(int count) {
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
inline Lines EveryClassRaising(int count) {
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
inline Lines RareAndDistinct(int count) {
  Lines lines;
  for (int i = 0; i < count; ++i)
    lines.push_back(std::to_string(i * 7 % 60) + " " + std::to_string(i * 5 % 24) + " " +
                    std::to_string(i % 28 + 1) + " " + std::to_string(i / 28 % 12 + 1) + " " +
                    std::to_string(i % 7 + 1) + " Item " + std::to_string(i));
  return lines;
}

// Half the lines raise on one day each; each line of the other half is not examined in the
// minutes of every one of them.
inline Lines ManyOverlaps(int count) {
  Lines lines;
  for (int i = 0; i < count / 2; ++i)
    lines.push_back(std::to_string(i % 60) + " " + std::to_string(i % 24) + " " +
                    std::to_string(i % 28 + 1) + " " + std::to_string(i % 12 + 1) + " ");
  for (int i = count / 2; i < count; ++i) lines.push_back("* * * * * Item " + std::to_string(i));
  return lines;
}

// Every line raises at minute 5: each one below the first is hidden by all those above it.
inline Lines SameRaising(int count) {
  return Lines(static_cast<std::size_t>(count), "5 * * * * ");
}

// One item per line, each section opened above the closing tags of all of them, so that each
// spans the whole launch file.
inline WorstFolder OpenedBeforeClosed(int count) {
  WorstFolder folder;
  for (int i = 0; i < count; ++i) {
    folder.tasks += "0 0 1 1 * S" + std::to_string(i) + "\r\n";
    folder.launch += "<S" + std::to_string(i) + ">\r\n";
  }
  folder.launch += "path=C:\\Tools\\job.exe\r\n";
  for (int i = 0; i < count; ++i) folder.launch += "</S" + std::to_string(i) + ">\r\n";
  return folder;
}

}  // namespace pendulon::sim
