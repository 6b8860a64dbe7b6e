#pragma once
// How the terminal a tool writes to shows the characters of the system's ANSI code page: on
// Windows through the console's output code page, on Linux as UTF-8.

#include <string>
#include <string_view>

namespace pendulon {

class ConsoleText {
 public:
  virtual ~ConsoleText() = default;

  // The terminal's bytes for one ANSI character from 0x80 (a byte, or a lead byte and its trail
  // byte); false when the terminal has no such character or would take it for a control.
  virtual bool Shown(std::string_view character, std::string& shown) = 0;
};

}  // namespace pendulon
