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
// get(i) gives, numbered number(i); from begin on.
template <typename Count, typename Get, typename Number>
void Walk(const SystemTime& minute, int begin, Count count, Get get, Number number,
          const TaskRunner& runTask, int* lineReached) {
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
      *lineReached = number(i);
    SplitTaskLine(entry, fields);
    bool matches = true;
    for (int check = TaskFields::kMinute; matches && check <= TaskFields::kWeekday; ++check) {
      matches = FieldMatches(fields.Get(check), texts[static_cast<std::size_t>(check)]);
    }
    if (matches) {
      // A copy: the launch may let ticks run that reload or free the table.
      const AnsiString itemName(fields.Get(TaskFields::kItem));
      if (!runTask(itemName, number(i)))
        return;
    }
  }
}

}  // namespace

void WalkTasks(const SystemTime& minute, const std::unique_ptr<TStringList>& taskList,
               const TaskRunner& runTask, int* lineReached) {
  Walk(
      minute, 0, [&] { return taskList ? taskList->Count() : 0; },
      [&](int i) { return taskList->Get(i); }, [](int i) { return i + 1; }, runTask, lineReached);
}

void WalkTasks(const SystemTime& minute, const TStringList& table, const std::vector<int>& entries,
               const TaskRunner& runTask) {
  const auto at = [&](int i) { return entries[static_cast<std::size_t>(i)]; };
  Walk(
      minute, 0, [&] { return static_cast<int>(entries.size()); },
      [&](int i) { return table.Get(at(i)); }, [&](int i) { return at(i) + 1; }, runTask, nullptr);
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
