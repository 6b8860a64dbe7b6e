#pragma once
// While an error box is open, the program's other windows take no input: an older error box, or
// a box the shell showed during a launch, cannot be answered before the newer box is. So the
// boxes close newest first.

#include <vector>

#include "platform/WindowSystem.h"

namespace pendulon {

class DisabledWindows {
 public:
  // Disables the visible and enabled top-level windows of the program and notes the active one.
  explicit DisabledWindows(WindowSystem& windows);
  // Enables them again and activates the window that was active before.
  ~DisabledWindows();
  DisabledWindows(const DisabledWindows&) = delete;
  DisabledWindows& operator=(const DisabledWindows&) = delete;

 private:
  WindowSystem& windows_;
  WindowHandle active_;
  std::vector<WindowHandle> disabled_;
};

}  // namespace pendulon
