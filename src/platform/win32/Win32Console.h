#pragma once
// The console qefcheck.exe writes to: how it shows the ANSI code page's characters, and whom it
// is shared with. Output that goes to a console is converted to the console's output code page;
// output redirected to a file or a pipe keeps the ANSI code page the files were written in.
// This header stays free of <windows.h>; only the .cpp includes it.

#include "platform/ConsoleText.h"

namespace pendulon {

class Win32Console final : public ConsoleText {
 public:
  Win32Console();

  // MultiByteToWideChar from the ANSI code page, then WideCharToMultiByte to the output's.
  bool Shown(std::string_view character, std::string& shown) override;

  // How many processes share the console, qefcheck included (GetConsoleProcessList); 0 without
  // one.
  static int ProcessCount();
  // Whether standard output, or standard input, is the console itself (GetConsoleMode).
  static bool OutputIsConsole();
  static bool InputIsConsole();
  // The columns of the console's window (GetConsoleScreenBufferInfo); 0 without one.
  static int Width();

 private:
  unsigned codePage_;  // of the output: the console's, or the ANSI code page
};

}  // namespace pendulon
