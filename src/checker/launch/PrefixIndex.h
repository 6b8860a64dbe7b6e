#pragma once
// The first of many lines that begins with a given text, as the launch-file reader's FindLine
// finds it from line 0, in time that grows with the text and the logarithm of the lines rather
// than with the lines: the texts are kept sorted, those that begin alike lie together, and the
// earliest line of such a run is read from a table of minima.

#include <cstdint>
#include <string_view>
#include <vector>

namespace pendulon {

class PrefixIndex {
 public:
  // The texts must outlive the index. Build after the last Add, before the first lookup.
  void Add(std::string_view text, std::int32_t line);
  void Build();

  // The lowest line whose text begins with prefix; -1 for none.
  std::int32_t First(std::string_view prefix) const;

 private:
  struct Entry {
    std::string_view text;
    std::int32_t line;
  };
  std::vector<Entry> entries_;  // sorted by text once built
  // minima_[k][i]: the lowest line among entries i to i + 2^k - 1.
  std::vector<std::vector<std::int32_t>> minima_;
};

}  // namespace pendulon
