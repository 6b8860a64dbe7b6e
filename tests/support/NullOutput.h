#pragma once
// Output streams for measuring the work of a report: one that takes everything and keeps
// nothing, and one that fails, as a full disk or a reader that has gone does.

#include <ostream>
#include <streambuf>

namespace pendulon::sim {

class NullBuffer : public std::streambuf {
 protected:
  int overflow(int c) override { return c; }
  std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

// Takes the first bytes, then fails every write, as a full disk does.
class BrokenBuffer : public std::streambuf {
 public:
  explicit BrokenBuffer(std::size_t takes) : takes_(takes) {}

 protected:
  std::streamsize xsputn(const char*, std::streamsize n) override {
    const auto count = static_cast<std::size_t>(n);
    if (count > takes_)
      return 0;
    takes_ -= count;
    return n;
  }
  int_type overflow(int_type c) override {
    const char byte = traits_type::to_char_type(c);
    return xsputn(&byte, 1) == 1 ? c : traits_type::eof();
  }

 private:
  std::size_t takes_;
};

}  // namespace pendulon::sim
