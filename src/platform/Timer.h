#pragma once
// TTimer: a periodic timer of a window. It counts while Enabled is true, Interval is not 0 and
// an OnTimer handler is set; every change of one of those restarts it with a full interval.
// An error thrown by the handler is caught around that one tick and handed to the error
// handler; the timer keeps running.

#include <cstdint>
#include <exception>
#include <functional>

#include "platform/WindowSystem.h"

namespace pendulon {

class TTimer final : private TimerSink {
 public:
  using Handler = std::function<void()>;
  using ErrorHandler = std::function<void(std::exception_ptr)>;

  TTimer(WindowSystem& windows, WindowHandle owner, ErrorHandler onError);
  ~TTimer();
  TTimer(const TTimer&) = delete;
  TTimer& operator=(const TTimer&) = delete;

  std::uint32_t Interval() const { return interval_; }
  // Each may raise EOutOfResources when the platform refuses to start the timer.
  void SetEnabled(bool enabled);
  void SetInterval(std::uint32_t interval);
  void SetOnTimer(Handler handler);
  // Starts counting the interval anew, even when it is unchanged, without stopping the timer
  // first. When the platform refuses, the timer keeps ticking at the interval it had and false
  // is returned; a stopped timer only takes the interval. Never raises.
  bool Rearm(std::uint32_t interval);

  // True while the platform timer is counting.
  bool Counting() const { return counting_; }

 private:
  void Update();
  void TimerTick() override;

  WindowSystem& windows_;
  WindowHandle owner_;
  ErrorHandler onError_;
  Handler onTimer_;
  bool enabled_ = true;
  std::uint32_t interval_ = 1000;
  bool counting_ = false;
};

}  // namespace pendulon
