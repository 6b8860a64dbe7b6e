#pragma once
// Whether qefcheck waits for Enter before it ends. Opened from Explorer, it gets a console of its
// own, which Windows closes with it: without a wait the report would flash by unread. From a
// prompt or a script the console is shared and stays; with its output redirected nobody reads
// the console; in neither case does it wait.

namespace pendulon {

inline constexpr const char* kPressEnter = "Press Enter to close this window.";

// consoleProcesses: how many processes share the console (GetConsoleProcessList), 0 for none.
bool WaitsBeforeClosing(int consoleProcesses, bool outputIsConsole, bool inputIsConsole);

}  // namespace pendulon
