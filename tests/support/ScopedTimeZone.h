#pragma once
// Sets the C library's time zone (TZ) for as long as it lives, and puts back what was there on
// every way out, a failed ASSERT included. POSIX only.

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace pendulon {

class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const char* zone) {
    if (const char* before = std::getenv("TZ"))
      before_ = before;
    Set(zone);
  }
  ~ScopedTimeZone() {
    if (before_)
      setenv("TZ", before_->c_str(), 1);
    else
      unsetenv("TZ");
    tzset();
  }
  ScopedTimeZone(const ScopedTimeZone&) = delete;
  ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

  void Set(const char* zone) {
    setenv("TZ", zone, 1);
    tzset();
  }

 private:
  std::optional<std::string> before_;
};

}  // namespace pendulon
