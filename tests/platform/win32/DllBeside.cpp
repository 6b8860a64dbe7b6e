// A DLL for the DLL search tests: it lies only beside the program under test and, once loaded,
// leaves a file NAME.loaded beside itself, so that a test outside the process can tell.

#include <windows.h>

extern "C" __declspec(dllexport) int DllBesideAnswer() {
  return 42;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH)
    return TRUE;
  char path[MAX_PATH + 8];
  const DWORD length = GetModuleFileNameA(self, path, MAX_PATH);
  if (length > 4 && length < MAX_PATH) {
    lstrcpyA(path + length - 4, ".loaded");
    const HANDLE file =
        CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE)
      CloseHandle(file);
  }
  return TRUE;
}
