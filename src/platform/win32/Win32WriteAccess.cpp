// Whether the user could write a file or add to a folder, asked by opening it for that and
// closing it at once: the Win32Platform method by which qefcheck tells that the executer could
// not write its run log, without writing anything itself.

#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32Platform.h"

#include <windows.h>

namespace pendulon {

WriteAccess::Answer Win32Platform::MayWrite(const AnsiString& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES)
    return Answer::kYes;
  const bool folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  if (!folder && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
    return Answer::kReadOnly;
  // The system checks the user's rights as it would for a write; a file open elsewhere is no
  // reason to doubt them.
  const HANDLE probe =
      CreateFileA(path.c_str(), folder ? FILE_ADD_FILE : FILE_APPEND_DATA,
                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                  folder ? FILE_FLAG_BACKUP_SEMANTICS : FILE_ATTRIBUTE_NORMAL, nullptr);
  if (probe == INVALID_HANDLE_VALUE)
    return GetLastError() == ERROR_ACCESS_DENIED ? Answer::kDenied : Answer::kYes;
  const HandleCloser closer(probe);
  return Answer::kYes;
}

}  // namespace pendulon
