#pragma once
// A stream buffer that hands its text on to another stream a line at a time, each line shown as
// the terminal is to show it (see ShowLine). It remembers whether the other stream ever failed,
// so that a report cut short by a full disk or a closed pipe is told, not taken for complete.

#include <ostream>
#include <streambuf>
#include <string>

#include "platform/ConsoleText.h"
#include "platform/ProcessInfo.h"

namespace pendulon {

class ShownOutput final : public std::streambuf {
 public:
  ShownOutput(std::ostream& to, ProcessInfo& process, ConsoleText& console)
      : to_(to), process_(process), console_(console) {}
  ~ShownOutput() override { sync(); }
  ShownOutput(const ShownOutput&) = delete;
  ShownOutput& operator=(const ShownOutput&) = delete;

  // True once a write to the other stream has failed.
  bool Failed() const { return failed_ || !to_; }

 protected:
  int_type overflow(int_type c) override;
  std::streamsize xsputn(const char* text, std::streamsize count) override;
  // Hands on what is held, line end or not, and flushes the other stream.
  int sync() override;

 private:
  void HandOn(std::size_t end);

  std::ostream& to_;
  ProcessInfo& process_;
  ConsoleText& console_;
  std::string held_;  // the text after the last line end handed on
  bool failed_ = false;
};

}  // namespace pendulon
