#pragma once
// Owners of Win32 handles: each closes its handle on every path out, exceptions included, so that
// no handle the program opens is left open.

#include <windows.h>

namespace pendulon {

// A handle from CreateFile and its kind, closed with CloseHandle.
class HandleCloser {
 public:
  explicit HandleCloser(HANDLE handle) : handle_(handle) {}
  ~HandleCloser() {
    if (handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr)
      CloseHandle(handle_);
  }
  HandleCloser(const HandleCloser&) = delete;
  HandleCloser& operator=(const HandleCloser&) = delete;

 private:
  HANDLE handle_;
};

// A search from FindFirstFile, closed with FindClose.
class FindCloser {
 public:
  explicit FindCloser(HANDLE find) : find_(find) {}
  ~FindCloser() {
    if (find_ != INVALID_HANDLE_VALUE)
      FindClose(find_);
  }
  FindCloser(const FindCloser&) = delete;
  FindCloser& operator=(const FindCloser&) = delete;

 private:
  HANDLE find_;
};

}  // namespace pendulon
