#pragma once
// Asks the executer's own minute matcher what a task table does at one chosen local minute, on
// a clock that stands still at second 00 of that minute. Whatever the checker says about when
// a line acts is confirmed here, so it cannot disagree with the executer.

#include <memory>
#include <optional>
#include <vector>

#include "checker/Calendar.h"
#include "platform/HostSystemWrapper.h"
#include "platform/StringList.h"

namespace pendulon {

class MatcherProbe {
 public:
  struct Result {
    std::vector<AnsiString> ran;      // items run, in order
    std::optional<AnsiString> error;  // the message the walk ended with
  };

  // Calls other than the clock's go to base; the matcher makes none.
  explicit MatcherProbe(HostSystem& base) : clock_(base) {}

  Result Walk(const std::unique_ptr<TStringList>& table, const LocalMinute& at);

 private:
  class StoppedClock final : public HostSystemWrapper {
   public:
    explicit StoppedClock(HostSystem& base) : HostSystemWrapper(base) {}
    SystemTime LocalTime() override { return now; }
    SystemTime now;
  };

  StoppedClock clock_;
};

}  // namespace pendulon
