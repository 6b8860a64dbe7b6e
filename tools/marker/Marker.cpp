// An item to launch: appends its working folder and its full command line, as the system handed
// them over, to marker.log beside its exe, then ends. A copy of the exe per folder keeps each
// run's log apart.

#include <windows.h>

#include <string>

#include "common/ToolLog.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char folder[MAX_PATH * 4];
  const DWORD length = GetCurrentDirectoryA(sizeof folder, folder);
  const std::string workingFolder(folder, length < sizeof folder ? length : 0);
  const bool logged = tools::AppendLine(tools::ExeFolder() + "\\marker.log",
                                        {"launched", workingFolder, GetCommandLineA()});
  return logged ? 0 : 1;
}
