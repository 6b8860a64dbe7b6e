#pragma once
// Tells which of the system's box icons another process's icon control shows. The icon handle
// itself means nothing outside its process, so the control's pixels on the screen are compared
// with each system icon drawn here on the same background.

#include <windows.h>

#include <string>

namespace probe {

// Returns "error", "warning", "information" or "question" for the icon that the control's pixels
// match, "unknown" when none matches closely.
std::string IconKind(HWND iconControl);

}  // namespace probe
