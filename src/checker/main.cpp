// qefcheck: explains what the task executer will do with a task folder, without doing it.

#include <csignal>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "checker/Checker.h"
#include "checker/ConsoleWait.h"

#ifdef _WIN32
#include "platform/win32/DllSearch.h"
#include "platform/win32/DriveErrors.h"
#include "platform/win32/Win32Console.h"
#include "platform/win32/Win32Platform.h"
#else
#include "platform/posix/PosixPlatform.h"
#endif

int main(int argc, char** argv) {
#ifdef _WIN32
  pendulon::RestrictDllSearchToSystem32();
  // The launch file's paths are looked up on their drives; an empty card reader must not ask.
  pendulon::FailDriveErrorsQuietly();
  pendulon::Win32Platform platform;
  pendulon::Win32Console console;
  constexpr char kSeparator = '\\';
  pendulon::Machine machine;
  // The launch file's drive paths name this machine's drives, as the executer sees them.
  machine.checkDrivePaths = true;
  machine.console = &console;
  machine.windows = &platform;
  machine.programs = &platform;
  // Opened from Explorer, the console goes with the process: keep it until the report is read.
  const bool ownWindow = pendulon::WaitsBeforeClosing(
      console.ProcessCount(), console.OutputIsConsole(), console.InputIsConsole());
  machine.ownWindow = ownWindow;
  machine.consoleWidth = pendulon::Win32Console::Width();
#else
  pendulon::PosixPlatform platform;
  constexpr char kSeparator = '/';
  // A reader that has gone must end the report with a word, not end the process silently.
  std::signal(SIGPIPE, SIG_IGN);
  pendulon::Machine machine;
#endif
  // Windows leaves stdout unbuffered on a console or NUL: a write per character made the report
  // of a 1,000-line folder take seconds. The report goes out in large writes instead.
  std::setvbuf(stdout, nullptr, _IOFBF, 1 << 16);
  const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  const int status =
      pendulon::RunChecker(platform, arguments, kSeparator, std::cout, std::cerr, machine);
  std::cout.flush();
#ifdef _WIN32
  if (ownWindow) {
    std::cout << "\n" << pendulon::kPressEnter << "\n" << std::flush;
    std::string line;
    std::getline(std::cin, line);
  }
#endif
  return status;
}
