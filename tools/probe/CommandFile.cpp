#include "probe/CommandFile.h"

#include <windows.h>

namespace probe {

std::vector<std::string> CommandFile::NewLines() {
  std::vector<std::string> lines;
  const HANDLE file = CreateFileA(path_.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return lines;
  LARGE_INTEGER at;
  at.QuadPart = static_cast<LONGLONG>(consumed_);
  if (SetFilePointerEx(file, at, nullptr, FILE_BEGIN)) {
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) {
      consumed_ += got;
      partial_.append(buffer, got);
    }
  }
  CloseHandle(file);
  std::size_t start = 0;
  for (std::size_t end; (end = partial_.find('\n', start)) != std::string::npos; start = end + 1) {
    std::string line = partial_.substr(start, end - start);
    if (!line.empty() && line.back() == '\r')
      line.pop_back();
    lines.push_back(line);
  }
  partial_.erase(0, start);
  return lines;
}

}  // namespace probe
