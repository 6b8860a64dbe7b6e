#include "platform/win32/Win32Console.h"

#include <windows.h>

namespace pendulon {
namespace {

bool IsConsole(DWORD standard) {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(standard), &mode) != FALSE;
}

}  // namespace

int Win32Console::ProcessCount() {
  DWORD processes[4];
  return static_cast<int>(GetConsoleProcessList(processes, 4));
}

bool Win32Console::OutputIsConsole() {
  return IsConsole(STD_OUTPUT_HANDLE);
}

bool Win32Console::InputIsConsole() {
  return IsConsole(STD_INPUT_HANDLE);
}

Win32Console::Win32Console() : codePage_(OutputIsConsole() ? GetConsoleOutputCP() : CP_ACP) {
  if (codePage_ == 0)
    codePage_ = CP_ACP;
}

bool Win32Console::Shown(std::string_view character, std::string& shown) {
  wchar_t wide[2];
  const int count = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, character.data(),
                                        static_cast<int>(character.size()), wide, 2);
  // The C1 controls come through as themselves: a terminal may act on them.
  if (count != 1 || wide[0] < 0x20 || (wide[0] >= 0x7F && wide[0] < 0xA0))
    return false;
  char bytes[8];
  BOOL replaced = FALSE;
  // UTF-8 takes neither flag nor default character, and can show every character.
  const bool utf8 = codePage_ == CP_UTF8;
  const int length = WideCharToMultiByte(codePage_, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, wide, 1, bytes,
                                         sizeof bytes, nullptr, utf8 ? nullptr : &replaced);
  if (length <= 0 || replaced)
    return false;
  shown.append(bytes, static_cast<std::size_t>(length));
  return true;
}

int Win32Console::Width() {
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (!GetConsoleScreenBufferInfo(GetStdHandle(STD_OUTPUT_HANDLE), &info))
    return 0;
  return info.srWindow.Right - info.srWindow.Left + 1;
}

}  // namespace pendulon
