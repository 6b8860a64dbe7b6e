// The program's entry: picks the real platform and runs the executer on it.

#include "app/Program.h"
#include "platform/win32/Win32Platform.h"

extern "C" int __stdcall WinMain(struct HINSTANCE__*, struct HINSTANCE__*, char*, int) {
  pendulon::Win32Platform platform;
  return pendulon::RunProgram(platform);
}
