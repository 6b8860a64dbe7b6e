// The program's entry: picks the real platform and runs the executer on it.

#include "app/Program.h"
#include "platform/win32/DllSearch.h"
#include "platform/win32/Win32Platform.h"

extern "C" int __stdcall WinMain(struct HINSTANCE__*, struct HINSTANCE__*, char*, int) {
  // Before anything can load a DLL: boxes, COM and the shell's handlers all do.
  pendulon::RestrictDllSearchToSystem32();
  pendulon::Win32Platform platform;
  return pendulon::RunProgram(platform);
}
