#include "scheduler/MinuteMatcher.h"

#include "platform/Clock.h"
#include "scheduler/TaskLine.h"

namespace pendulon {
namespace {

// Each check reads the clock itself, at the moment it runs.
bool FieldMatches(Platform& platform, int index, std::string_view field) {
  if (field == "*") {
    return true;
  }
  static const char* const kCodes[] = {"n", "h", "d", "m"};
  const AnsiString now = index < TaskFields::kWeekday ? ClockText(platform, kCodes[index])
                                                      : DecimalText(WeekdayNumber(Now(platform)));
  return field == now;
}

}  // namespace

void AlignToMinute(Platform& platform) {
  for (;;) {
    const SystemTime now = platform.LocalTime();
    if (ClockText(now, "ss") == "00") {
      return;
    }
    platform.Sleep(1000u - now.milliseconds % 1000u);
  }
}

void WalkTasks(Platform& platform, const std::unique_ptr<TStringList>& taskList,
               const ItemRunner& runItem) {
  TaskFields fields;
  for (int i = 0; taskList && i < taskList->Count(); ++i) {
    const std::string_view entry = taskList->Get(i);
    if (entry.empty() || entry[0] == '#') {
      continue;
    }
    SplitTaskLine(entry, fields);
    bool matches = true;
    for (int check = TaskFields::kMinute; matches && check <= TaskFields::kWeekday; ++check) {
      matches = FieldMatches(platform, check, fields.Get(check));
    }
    if (matches) {
      // A copy: the launch may let ticks run that reload or free the table.
      const AnsiString itemName(fields.Get(TaskFields::kItem));
      runItem(itemName);
    }
  }
}

std::uint32_t MillisecondsToNextMinute(Platform& platform) {
  const SystemTime now = platform.LocalTime();
  const std::uint32_t intoMinute = (now.second % 60u) * 1000u + now.milliseconds % 1000u;
  return 60000u - intoMinute;
}

}  // namespace pendulon
