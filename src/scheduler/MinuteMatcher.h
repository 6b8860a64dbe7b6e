#pragma once
// The minute matcher: each minute, every task line whose five time fields match the local clock
// launches its item, in file order.

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/AnsiString.h"
#include "platform/LocalClock.h"
#include "platform/StringList.h"
#include "platform/SystemClock.h"

namespace pendulon {

// Runs a due line's item, told also the line's number in the task file, counted from 1.
using TaskRunner = std::function<void(const AnsiString& itemName, int lineNumber)>;

// Returns once the local clock's seconds read "00", at once when they already do. Handles no
// messages; sleeps up to each second boundary rather than spinning.
void AlignToMinute(SystemClock& clock);

// Walks the table by index, re-reading its size before each entry: a reload made while a launch
// waits is seen from the next entry on, and a freed table (null) ends the walk. A field a line
// lacks raises EStringListError; any error ends the walk.
void WalkTasks(LocalClock& clock, const std::unique_ptr<TStringList>& taskList,
               const TaskRunner& runTask);

// Milliseconds from now to the next minute boundary of the local clock, 1 to 60000.
std::uint32_t MillisecondsToNextMinute(LocalClock& clock);

}  // namespace pendulon
