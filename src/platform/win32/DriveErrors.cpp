#include "platform/win32/DriveErrors.h"

#include <windows.h>

namespace pendulon {

void FailDriveErrorsQuietly() noexcept {
  SetErrorMode(SEM_FAILCRITICALERRORS);
}

}  // namespace pendulon
