#include "checker/report/WrappedLines.h"

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace pendulon {
namespace {

std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> words;
  std::istringstream in(text);
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Seeded random lines of words, indented or not, some words longer than the width: wrapped, no
// line passes the width but one word alone, the words keep their order, and each continuation is
// indented four past its line.
TEST(WrappedLines, KeepEveryWordInOrderWithinTheWidthAndIndentTheRest) {
  std::uint64_t state = 7;
  const auto dice = [&](int n) {
    state = state * 6364136223846793005u + 1442695040888963407u;
    return static_cast<int>((state >> 33) % static_cast<std::uint64_t>(n));
  };
  for (int round = 0; round < 2000; ++round) {
    const std::size_t width = 40 + static_cast<std::size_t>(dice(80));
    std::string line(static_cast<std::size_t>(dice(3) * 4), ' ');
    for (int w = dice(40); w >= 0; --w)
      line += std::string(static_cast<std::size_t>(1 + (dice(20) == 0 ? dice(150) : dice(12))),
                          static_cast<char>('a' + dice(26))) +
              (dice(8) == 0 ? "  " : " ");
    const std::string wrapped = WrapLine(line, width);
    ASSERT_EQ(Words(wrapped), Words(line)) << line;
    const std::vector<std::string> lines = Lines(wrapped);
    const std::size_t indent = line.find_first_not_of(' ');
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (lines[i].size() > width) {
        EXPECT_EQ(Words(lines[i]).size(), 1u) << "a line past " << width << ": " << lines[i];
      }
      if (i > 0) {
        EXPECT_EQ(lines[i].find_first_not_of(' '), indent + 4) << lines[i];
      }
    }
  }
}

// Through the stream buffer, a report's lines arrive wrapped, whatever pieces they are written in.
TEST(WrappedLines, WrapsLinesWrittenInPieces) {
  std::stringbuf to;
  {
    WrappedLines wrapped(to, 20);
    std::ostream out(&wrapped);
    out << "  one two three"
        << " four five six\nshort\n"
        << "seven";
  }
  EXPECT_EQ(to.str(), "  one two three four\n      five six\nshort\nseven");
}

}  // namespace
}  // namespace pendulon
