#include "scheduler/MinuteMatcher.h"

#include <array>

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

namespace {

// The walk over entries that count() tells the number of, read anew before each entry, and
// get(i) gives; from begin on.
template <typename Count, typename Get>
void Walk(const SystemTime& minute, int begin, Count count, Get get, const TaskRunner& runTask,
          int* lineReached) {
  TaskFields fields;
  // The minute's values in the order of the fields: minute, hour, day, month, weekday.
  const int values[] = {minute.minute, minute.hour, minute.day, minute.month,
                        WeekdayNumber(EncodeDateTime(minute))};
  std::array<AnsiString, 5> texts;
  for (std::size_t v = 0; v < texts.size(); ++v) texts[v] = DecimalText(values[v]);
  for (int i = begin; i < count(); ++i) {
    const std::string_view entry = get(i);
    if (!IsTaskLine(entry)) {
      continue;
    }
    if (lineReached != nullptr)
      *lineReached = i + 1;
    SplitTaskLine(entry, fields);
    bool matches = true;
    for (int check = TaskFields::kMinute; matches && check <= TaskFields::kWeekday; ++check) {
      matches = FieldMatches(fields.Get(check), texts[static_cast<std::size_t>(check)]);
    }
    if (matches) {
      // A copy: the launch may let ticks run that reload or free the table.
      const AnsiString itemName(fields.Get(TaskFields::kItem));
      if (!runTask(itemName, i + 1))
        return;
    }
  }
}

}  // namespace

void WalkTasks(const SystemTime& minute, const std::unique_ptr<TStringList>& taskList,
               const TaskRunner& runTask, int* lineReached) {
  Walk(
      minute, 0, [&] { return taskList ? taskList->Count() : 0; },
      [&](int i) { return taskList->Get(i); }, runTask, lineReached);
}

void WalkTasks(const SystemTime& minute, const TStringList& table, int begin, int end,
               const TaskRunner& runTask) {
  Walk(
      minute, begin, [end] { return end; }, [&](int i) { return table.Get(i); }, runTask, nullptr);
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
