// What an open file handle reaches, its size, and its rename: the Win32Platform methods on which
// the run log's roll-over and qefcheck's reading of it rely.

#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32Platform.h"

// clang-format off
#include <windows.h>
// clang-format on

#include <cstddef>
#include <vector>

namespace pendulon {
namespace {

HANDLE ToHandle(FileHandle file) {
  return reinterpret_cast<HANDLE>(file);
}

// True when the name the handle reports now leads to the very file the handle reaches. Windows
// reports the file's current name; Wine reports the name the handle was opened with, and renames
// through the handle by that name too, even after another process has moved the file.
bool NameStillReachesFile(HANDLE file) {
  std::vector<wchar_t> name(MAX_PATH);
  DWORD length = GetFinalPathNameByHandleW(file, name.data(), static_cast<DWORD>(name.size()), 0);
  if (length >= name.size()) {
    name.resize(length + 1);
    length = GetFinalPathNameByHandleW(file, name.data(), static_cast<DWORD>(name.size()), 0);
  }
  if (length == 0 || length >= name.size())
    return false;
  const HANDLE named =
      CreateFileW(name.data(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, 0, nullptr);
  if (named == INVALID_HANDLE_VALUE)
    return false;
  const HandleCloser closer(named);
  BY_HANDLE_FILE_INFORMATION a, b;
  return GetFileInformationByHandle(file, &a) && GetFileInformationByHandle(named, &b) &&
         a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
         a.nFileIndexLow == b.nFileIndexLow;
}

}  // namespace

FileKind Win32Platform::KindOf(FileHandle file) {
  switch (GetFileType(ToHandle(file))) {
    case FILE_TYPE_DISK:
      return FileKind::kFile;
    case FILE_TYPE_PIPE:
      return FileKind::kPipe;
    case FILE_TYPE_CHAR:
      return FileKind::kDevice;
    default:
      return FileKind::kOther;
  }
}

bool Win32Platform::SizeOf(FileHandle file, std::uint64_t& size) {
  LARGE_INTEGER value;
  if (!GetFileSizeEx(ToHandle(file), &value))
    return false;
  size = static_cast<std::uint64_t>(value.QuadPart);
  return true;
}

bool Win32Platform::RenameOpenFile(FileHandle file, const AnsiString& to) {
  if (!NameStillReachesFile(ToHandle(file)))
    return false;
  // The new name in the ANSI code page, as every other path here, widened for the call.
  const int length = MultiByteToWideChar(CP_ACP, 0, to.c_str(), -1, nullptr, 0);
  if (length <= 1)
    return false;
  const std::size_t size = offsetof(FILE_RENAME_INFO, FileName) + length * sizeof(WCHAR);
  std::vector<unsigned char> buffer(size);  // new[] memory: aligned for the struct
  auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
  info->ReplaceIfExists = TRUE;
  info->RootDirectory = nullptr;
  info->FileNameLength = static_cast<DWORD>((length - 1) * sizeof(WCHAR));
  MultiByteToWideChar(CP_ACP, 0, to.c_str(), -1, info->FileName, length);
  return SetFileInformationByHandle(ToHandle(file), FileRenameInfo, info,
                                    static_cast<DWORD>(size)) != FALSE;
}

}  // namespace pendulon
