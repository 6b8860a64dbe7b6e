#include "checker/MatcherProbe.h"

#include "platform/Exceptions.h"
#include "scheduler/MinuteMatcher.h"

namespace pendulon {

MatcherProbe::Result MatcherProbe::Walk(const std::unique_ptr<TStringList>& table,
                                        const LocalMinute& at) {
  clock_.now = ClockAt(at);
  Result result;
  try {
    WalkTasks(clock_, table, [&](const AnsiString& item) { result.ran.push_back(item); });
  } catch (const Exception& e) {
    result.error = e.Message();
  }
  return result;
}

}  // namespace pendulon
