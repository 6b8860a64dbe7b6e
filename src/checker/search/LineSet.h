#pragma once
// A set of task lines, by their position among the lines searched: one bit each, so that what a
// minute does to a thousand lines fits in a few dozen words.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace pendulon {

class LineSet {
 public:
  LineSet() = default;
  explicit LineSet(int lines) : words_((static_cast<std::size_t>(lines) + 63) / 64) {}

  void Set(int line) { words_[Word(line)] |= Bit(line); }
  void Reset(int line) { words_[Word(line)] &= ~Bit(line); }
  bool Test(int line) const { return (words_[Word(line)] & Bit(line)) != 0; }
  bool Any() const {
    for (const std::uint64_t w : words_) {
      if (w != 0)
        return true;
    }
    return false;
  }
  bool Intersects(const LineSet& other) const {
    for (std::size_t w = 0; w < words_.size(); ++w) {
      if ((words_[w] & other.words_[w]) != 0)
        return true;
    }
    return false;
  }
  // The first line at or after `from` in the set; -1 when there is none.
  int Next(int from) const {
    for (std::size_t w = Word(from); w < words_.size(); ++w) {
      std::uint64_t bits = words_[w];
      if (w == Word(from))
        bits &= ~(Bit(from) - 1);
      if (bits != 0)
        return static_cast<int>(w * 64 + static_cast<std::size_t>(std::countr_zero(bits)));
    }
    return -1;
  }
  LineSet& operator|=(const LineSet& other) {
    for (std::size_t w = 0; w < words_.size(); ++w) words_[w] |= other.words_[w];
    return *this;
  }
  LineSet& operator&=(const LineSet& other) {
    for (std::size_t w = 0; w < words_.size(); ++w) words_[w] &= other.words_[w];
    return *this;
  }
  bool operator==(const LineSet&) const = default;

  const std::vector<std::uint64_t>& Words() const { return words_; }
  std::vector<std::uint64_t>& Words() { return words_; }

 private:
  static std::size_t Word(int line) { return static_cast<std::size_t>(line) / 64; }
  static std::uint64_t Bit(int line) {
    return std::uint64_t{1} << (static_cast<unsigned>(line) % 64);
  }

  std::vector<std::uint64_t> words_;
};

}  // namespace pendulon
