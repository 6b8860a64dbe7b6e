#pragma once
// An output stream that takes everything and keeps nothing: for measuring the work of a report,
// not the cost of keeping it.

#include <ostream>
#include <streambuf>

namespace pendulon::sim {

class NullBuffer : public std::streambuf {
 protected:
  int overflow(int c) override { return c; }
  std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

}  // namespace pendulon::sim
