#include "checker/launch/NearNames.h"

#include <algorithm>
#include <array>

namespace pendulon {
namespace {

constexpr int kMostEdits = 2;

// The edit distance of a and b when it is at most two; 3 otherwise. Only the diagonals within
// two of the middle one are worked out.
int EditsUpToTwo(std::string_view a, std::string_view b, std::int64_t& steps) {
  constexpr int kFar = kMostEdits + 1;
  constexpr int kBand = 2 * kMostEdits + 1;
  // row[d] holds the distance of a's first i bytes to b's first i + d - 2 bytes.
  std::array<int, kBand> row{}, next{};
  for (int d = 0; d < kBand; ++d) {
    const int j = d - kMostEdits;
    row[static_cast<std::size_t>(d)] = j < 0 ? kFar : j;
  }
  const int lengthB = static_cast<int>(b.size());
  for (std::size_t i = 1; i <= a.size(); ++i) {
    int best = kFar;
    for (int d = 0; d < kBand; ++d) {
      const int j = static_cast<int>(i) + d - kMostEdits;
      int value = kFar;
      if (j == 0) {
        value = static_cast<int>(i);
      } else if (j > 0 && j <= lengthB) {
        const auto at = static_cast<std::size_t>(d);
        value = row[at] + (a[i - 1] == b[static_cast<std::size_t>(j - 1)] ? 0 : 1);  // change
        if (d + 1 < kBand)
          value = std::min(value, row[at + 1] + 1);  // a byte of a dropped
        if (d > 0)
          value = std::min(value, next[at - 1] + 1);  // a byte of b added
      }
      next[static_cast<std::size_t>(d)] = std::min(value, kFar);
      best = std::min(best, value);
    }
    steps += kBand;
    if (best > kMostEdits)
      return kFar;
    row = next;
  }
  const int d = lengthB - static_cast<int>(a.size()) + kMostEdits;
  return d >= 0 && d < kBand ? row[static_cast<std::size_t>(d)] : kFar;
}

}  // namespace

void NearNames::Add(std::string_view name, std::int32_t line) {
  names_.push_back({name, line});
  sorted_ = false;
}

std::optional<std::string_view> NearNames::Nearest(std::string_view item) {
  // Two edits of a name of four bytes or less leave too little of it to be a guess.
  if (item.size() <= 2 * kMostEdits || budget_ <= 0)
    return std::nullopt;
  if (!sorted_) {
    std::sort(names_.begin(), names_.end(), [](const Name& a, const Name& b) {
      return a.text.size() != b.text.size() ? a.text.size() < b.text.size() : a.line < b.line;
    });
    sorted_ = true;
  }
  const auto shorter = [](const Name& n, std::size_t length) { return n.text.size() < length; };
  const Name* best = nullptr;
  int fewest = kMostEdits + 1;
  for (auto it = std::lower_bound(names_.begin(), names_.end(), item.size() - kMostEdits, shorter);
       it != names_.end() && it->text.size() <= item.size() + kMostEdits && budget_ > 0; ++it) {
    std::int64_t steps = 0;
    const int edits = EditsUpToTwo(item, it->text, steps);
    budget_ -= steps;
    if (edits > 0 && edits <= kMostEdits &&
        (edits < fewest || (edits == fewest && it->line < best->line))) {
      fewest = edits;
      best = &*it;
    }
  }
  if (best == nullptr)
    return std::nullopt;
  return best->text;
}

}  // namespace pendulon
