#include "platform/Timer.h"

#include "platform/Exceptions.h"

namespace pendulon {

TTimer::TTimer(WindowSystem& windows, WindowHandle owner, ErrorHandler onError)
    : windows_(windows), owner_(owner), onError_(std::move(onError)) {}

TTimer::~TTimer() {
  if (counting_)
    windows_.StopTimer(owner_, this);
}

void TTimer::SetEnabled(bool enabled) {
  if (enabled == enabled_)
    return;
  enabled_ = enabled;
  Update();
}

void TTimer::SetInterval(std::uint32_t interval) {
  if (interval == interval_)
    return;
  interval_ = interval;
  Update();
}

void TTimer::SetOnTimer(Handler handler) {
  onTimer_ = std::move(handler);
  Update();
}

bool TTimer::Rearm(std::uint32_t interval) {
  if (counting_ && interval != 0) {
    // Replaced in place, never stopped first: a refused replacement would otherwise leave the
    // timer off for good, and with it every later minute.
    if (!windows_.StartTimer(owner_, this, interval)) {
      return false;
    }
    interval_ = interval;
    return true;
  }
  interval_ = interval;
  try {
    Update();
  } catch (const EOutOfResources&) {
    return false;
  }
  return true;
}

void TTimer::Update() {
  if (counting_) {
    windows_.StopTimer(owner_, this);
    counting_ = false;
  }
  if (enabled_ && interval_ != 0 && onTimer_) {
    if (!windows_.StartTimer(owner_, this, interval_)) {
      throw EOutOfResources();
    }
    counting_ = true;
  }
}

void TTimer::TimerTick() {
  if (!counting_)
    return;  // a tick that was queued before the timer stopped
  try {
    onTimer_();
  } catch (...) {
    try {
      if (onError_)
        onError_(std::current_exception());
    } catch (...) {
      // The report itself failed; nothing is left that could show it.
    }
  }
}

}  // namespace pendulon
