#include "scheduler/MinuteMatcher.h"

#include "platform/Calendar.h"
#include "platform/Clock.h"
#include "scheduler/TaskLine.h"

namespace pendulon {

void AlignToMinute(WaitingClock& clock) {
  for (;;) {
    const SystemTime now = clock.LocalTime();
    if (ClockText(now, "ss") == "00") {
      return;
    }
    clock.Sleep(1000u - now.milliseconds % 1000u);
  }
}

void WalkTasks(const SystemTime& minute, const std::unique_ptr<TStringList>& taskList,
               const TaskRunner& runTask, int* lineReached) {
  TaskFields fields;
  // The minute's values in the order of the fields: minute, hour, day, month, weekday.
  const int values[] = {minute.minute, minute.hour, minute.day, minute.month,
                        WeekdayNumber(EncodeDateTime(minute))};
  for (int i = 0; taskList && i < taskList->Count(); ++i) {
    const std::string_view entry = taskList->Get(i);
    if (!IsTaskLine(entry)) {
      continue;
    }
    if (lineReached != nullptr)
      *lineReached = i + 1;
    SplitTaskLine(entry, fields);
    bool matches = true;
    for (int check = TaskFields::kMinute; matches && check <= TaskFields::kWeekday; ++check) {
      matches = FieldMatches(fields.Get(check), values[check]);
    }
    if (matches) {
      // A copy: the launch may let ticks run that reload or free the table.
      const AnsiString itemName(fields.Get(TaskFields::kItem));
      if (!runTask(itemName, i + 1))
        return;
    }
  }
}

void WalkTasks(LocalClock& clock, const std::unique_ptr<TStringList>& taskList,
               const TaskRunner& runTask) {
  WalkTasks(clock.LocalTime(), taskList, runTask);
}

std::uint32_t MillisecondsToNextMinute(const SystemTime& now) {
  const std::uint32_t intoMinute = (now.second % 60u) * 1000u + now.milliseconds % 1000u;
  return 60000u - intoMinute;
}

}  // namespace pendulon
