#include "scheduler/MinuteMatcher.h"

#include "platform/Calendar.h"
#include "platform/Clock.h"
#include "scheduler/TaskLine.h"

namespace pendulon {
namespace {

// Each check reads the clock itself, at the moment it runs.
bool FieldMatches(LocalClock& clock, int index, std::string_view field) {
  if (field == "*") {
    return true;
  }
  static const char* const kCodes[] = {"n", "h", "d", "m"};
  const AnsiString now = index < TaskFields::kWeekday ? ClockText(clock, kCodes[index])
                                                      : DecimalText(WeekdayNumber(Now(clock)));
  return field == now;
}

}  // namespace

void AlignToMinute(SystemClock& clock) {
  for (;;) {
    const SystemTime now = clock.LocalTime();
    if (ClockText(now, "ss") == "00") {
      return;
    }
    clock.Sleep(1000u - now.milliseconds % 1000u);
  }
}

void WalkTasks(LocalClock& clock, const std::unique_ptr<TStringList>& taskList,
               const TaskRunner& runTask) {
  TaskFields fields;
  for (int i = 0; taskList && i < taskList->Count(); ++i) {
    const std::string_view entry = taskList->Get(i);
    if (!IsTaskLine(entry)) {
      continue;
    }
    SplitTaskLine(entry, fields);
    bool matches = true;
    for (int check = TaskFields::kMinute; matches && check <= TaskFields::kWeekday; ++check) {
      matches = FieldMatches(clock, check, fields.Get(check));
    }
    if (matches) {
      // A copy: the launch may let ticks run that reload or free the table.
      const AnsiString itemName(fields.Get(TaskFields::kItem));
      runTask(itemName, i + 1);
    }
  }
}

std::uint32_t MillisecondsToNextMinute(LocalClock& clock) {
  const SystemTime now = clock.LocalTime();
  const std::uint32_t intoMinute = (now.second % 60u) * 1000u + now.milliseconds % 1000u;
  return 60000u - intoMinute;
}

}  // namespace pendulon
