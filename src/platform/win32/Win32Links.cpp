// Links told apart from files without following them: the Win32Platform method on which qefcheck
// relies to read nothing through a symbolic link or junction in a folder it checks.

#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32Platform.h"

// clang-format off
#include <windows.h>
#include <winioctl.h>
// clang-format on

#include <cstddef>
#include <cstring>

namespace pendulon {
namespace {

// The reparse data of a symbolic link or a junction, as the kernel hands it out; the headers
// of user programs do not declare it.
struct ReparseData {
  DWORD tag;
  WORD dataLength;
  WORD reserved;
  WORD substituteOffset, substituteLength, printOffset, printLength;
  // A symbolic link has a word of flags here; a junction begins its names.
};

AnsiString ToAnsi(const wchar_t* text, std::size_t length) {
  const int count =
      WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
  AnsiString ansi(static_cast<std::size_t>(count > 0 ? count : 0), '\0');
  if (count > 0)
    WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), ansi.data(), count, nullptr,
                        nullptr);
  return ansi;
}

}  // namespace

FileHandle Win32Platform::OpenUnfollowed(const AnsiString& path, std::uint32_t share, bool& link) {
  link = false;
  // The entry itself: a link is opened as the link, told by its reparse tag, and closed unread.
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return kInvalidFile;
  FILE_ATTRIBUTE_TAG_INFO tag{};
  if (GetFileType(file) == FILE_TYPE_DISK) {
    if (!GetFileInformationByHandleEx(file, FileAttributeTagInfo, &tag, sizeof tag)) {
      CloseHandle(file);
      return kInvalidFile;
    }
    link = (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
           IsReparseTagNameSurrogate(tag.ReparseTag);
    if (link || (tag.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      CloseHandle(file);
      return kInvalidFile;
    }
  }
  return reinterpret_cast<FileHandle>(file);
}

std::optional<AnsiString> Win32Platform::LinkTarget(const AnsiString& path) {
  // The search reports the entry itself, with its reparse tag, and never follows it. Only a tag
  // that stands for another name leads elsewhere; cloud and deduplicated files hold data.
  WIN32_FIND_DATAA entry;
  const HANDLE find = FindFirstFileA(path.c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE)
    return std::nullopt;
  const FindCloser closer(find);
  if ((entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0 ||
      !IsReparseTagNameSurrogate(entry.dwReserved0))
    return std::nullopt;
  const HANDLE link = CreateFileA(
      path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
      nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (link == INVALID_HANDLE_VALUE)
    return AnsiString();
  alignas(8) unsigned char buffer[MAXIMUM_REPARSE_DATA_BUFFER_SIZE];
  DWORD got = 0;
  BOOL read = FALSE;
  {
    const HandleCloser closer(link);
    read = DeviceIoControl(link, FSCTL_GET_REPARSE_POINT, nullptr, 0, buffer, sizeof buffer, &got,
                           nullptr);
  }
  ReparseData data;
  if (!read || got < sizeof data)
    return AnsiString();
  std::memcpy(&data, buffer, sizeof data);
  const std::size_t names = sizeof data + (data.tag == IO_REPARSE_TAG_SYMLINK ? sizeof(ULONG) : 0);
  // The name meant for people, or else the one the system substitutes.
  const bool print = data.printLength > 0;
  const std::size_t offset = print ? data.printOffset : data.substituteOffset;
  const std::size_t length = print ? data.printLength : data.substituteLength;
  if (names + offset + length > got)
    return AnsiString();
  std::wstring name(length / sizeof(wchar_t), L'\0');
  std::memcpy(name.data(), buffer + names + offset, length);
  return ToAnsi(name.data(), name.size());
}

}  // namespace pendulon
