#pragma once
// What the entry knows of the machine qefcheck runs on, beyond its host (CheckingHost): what
// Windows alone has. A part the system lacks is left out, and what needs it is left undone.

#include <functional>

#include "platform/ConsoleText.h"
#include "platform/WindowLookup.h"
#include "platform/WindowProgram.h"

namespace pendulon {

struct Machine {
  // qefcheck runs where the executer does, so a path on a drive letter in the launch file can
  // be looked up (see CheckFolder).
  bool checkDrivePaths = false;
  // How the terminal shows the files' ANSI text; without one, as Windows-1252 in UTF-8.
  ConsoleText* console = nullptr;
  // Where the executer's window is looked for, to tell whether it runs (Windows).
  WindowLookup* windows = nullptr;
  // Which program owns that window, to tell which folder the running copy serves (Windows).
  WindowProgram* programs = nullptr;
  // --follow looks again while this says so; without it, until the process is ended.
  std::function<bool()> keepFollowing = {};
  // qefcheck has a console window of its own (opened from Explorer), which the report scrolls
  // through before anyone reads its head: the report ends by repeating Pendulon's state.
  bool ownWindow = false;
  // The columns of that window, to which the report's lines are wrapped; 0 when unknown.
  int consoleWidth = 0;
};

}  // namespace pendulon
