#include "checker/launch/PrefixIndex.h"

#include <algorithm>
#include <bit>

namespace pendulon {

void PrefixIndex::Add(std::string_view text, std::int32_t line) {
  entries_.push_back({text, line});
}

void PrefixIndex::Build() {
  std::sort(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) {
    return a.text != b.text ? a.text < b.text : a.line < b.line;
  });
  minima_.assign(1, {});
  for (const Entry& e : entries_) minima_[0].push_back(e.line);
  for (std::size_t span = 1; 2 * span <= entries_.size(); span *= 2) {
    const std::vector<std::int32_t>& half = minima_.back();
    std::vector<std::int32_t> whole(entries_.size() - 2 * span + 1);
    for (std::size_t i = 0; i < whole.size(); ++i) whole[i] = std::min(half[i], half[i + span]);
    minima_.push_back(std::move(whole));
  }
}

std::int32_t PrefixIndex::First(std::string_view prefix) const {
  // Every text that begins with prefix sorts at or after it, and before every other text that
  // does: they form one run.
  const auto begin =
      std::lower_bound(entries_.begin(), entries_.end(), prefix,
                       [](const Entry& e, std::string_view p) { return e.text < p; });
  const auto end = std::partition_point(begin, entries_.end(), [&](const Entry& e) {
    return e.text.substr(0, prefix.size()) == prefix;
  });
  if (begin == end)
    return -1;
  const auto from = static_cast<std::size_t>(begin - entries_.begin());
  const auto count = static_cast<std::size_t>(end - begin);
  const auto level = static_cast<std::size_t>(std::bit_width(count) - 1);
  const std::size_t span = std::size_t{1} << level;
  return std::min(minima_[level][from], minima_[level][from + count - span]);
}

}  // namespace pendulon
