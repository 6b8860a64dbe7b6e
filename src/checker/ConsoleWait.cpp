#include "checker/ConsoleWait.h"

namespace pendulon {

bool WaitsBeforeClosing(int consoleProcesses, bool outputIsConsole, bool inputIsConsole) {
  return consoleProcesses == 1 && outputIsConsole && inputIsConsole;
}

}  // namespace pendulon
