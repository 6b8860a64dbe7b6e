#include "platform/win32/DllSearch.h"

#include <windows.h>

namespace pendulon {

void RestrictDllSearchToSystem32() noexcept {
  // Looked up rather than imported, or the program would not start where it is missing.
  using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
  const HMODULE kernel = GetModuleHandleA("kernel32.dll");
  const FARPROC found =
      kernel != nullptr ? GetProcAddress(kernel, "SetDefaultDllDirectories") : nullptr;
  const auto setDefault =
      reinterpret_cast<SetDefaultDllDirectoriesFunction>(reinterpret_cast<void (*)()>(found));
  if (setDefault != nullptr && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32) != FALSE)
    return;
  SetDllDirectoryA("");
}

}  // namespace pendulon
