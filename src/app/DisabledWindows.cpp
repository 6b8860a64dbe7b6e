#include "app/DisabledWindows.h"

namespace pendulon {

DisabledWindows::DisabledWindows(Platform& platform)
    : platform_(platform), active_(platform.ActiveWindow()), disabled_(platform.InputWindows()) {
  for (const WindowHandle window : disabled_) platform_.EnableInput(window, false);
}

DisabledWindows::~DisabledWindows() {
  // Enabled before the activation: a disabled window cannot be made active.
  for (const WindowHandle window : disabled_) platform_.EnableInput(window, true);
  if (active_ != 0)
    platform_.Activate(active_);
}

}  // namespace pendulon
