#include "app/DisabledWindows.h"

namespace pendulon {

DisabledWindows::DisabledWindows(WindowSystem& windows)
    : windows_(windows), active_(windows.ActiveWindow()), disabled_(windows.InputWindows()) {
  for (const WindowHandle window : disabled_) windows_.EnableInput(window, false);
}

DisabledWindows::~DisabledWindows() {
  // Enabled before the activation: a disabled window cannot be made active.
  for (const WindowHandle window : disabled_) windows_.EnableInput(window, true);
  if (active_ != 0)
    windows_.Activate(active_);
}

}  // namespace pendulon
