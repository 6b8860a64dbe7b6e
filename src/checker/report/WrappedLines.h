#pragma once
// Lines wrapped at word boundaries to a width, for a console window of qefcheck's own whose
// lines would otherwise break in mid-word: each line's continuations are indented four columns
// past the line's own indentation. A word longer than the room is left whole.

#include <cstddef>
#include <streambuf>
#include <string>
#include <string_view>

namespace pendulon {

// The line (without its line end) as lines of at most width columns where its words allow,
// each ended by "\n".
std::string WrapLine(std::string_view line, std::size_t width);

// A stream buffer that wraps each line it is given with WrapLine and hands it on.
class WrappedLines final : public std::streambuf {
 public:
  WrappedLines(std::streambuf& to, std::size_t width) : to_(to), width_(width) {}
  ~WrappedLines() override { sync(); }
  WrappedLines(const WrappedLines&) = delete;
  WrappedLines& operator=(const WrappedLines&) = delete;

 protected:
  int_type overflow(int_type c) override;
  std::streamsize xsputn(const char* text, std::streamsize count) override;
  // Hands on what is held, a line cut where it stands, and syncs the other buffer.
  int sync() override;

 private:
  void HandOn(std::string_view line, bool ended);

  std::streambuf& to_;
  std::size_t width_;
  std::string held_;  // the text after the last line end handed on
};

}  // namespace pendulon
