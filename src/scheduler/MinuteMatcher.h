#pragma once
// The minute matcher: each minute, every task line whose five time fields match the minute the
// walk serves launches its item, in file order.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/AnsiString.h"
#include "platform/LocalClock.h"
#include "platform/ReadingHost.h"
#include "platform/StringList.h"
#include "platform/WaitingClock.h"

namespace pendulon {

// Runs a due line's item, told also the line's number in the task file, counted from 1. Gives
// false to end the walk there, once the minute it serves is over.
using TaskRunner = std::function<bool(const AnsiString& itemName, int lineNumber)>;

// Returns once the local clock's seconds read "00", at once when they already do. Handles no
// messages; sleeps up to each second boundary rather than spinning.
void AlignToMinute(WaitingClock& clock);

// Walks the table for one minute of the local clock (its seconds are not looked at), by index,
// re-reading its size before each entry: a reload made while a launch waits is seen from the next
// entry on, and a freed table (null) ends the walk. A field a line lacks raises EStringListError;
// any error ends the walk. lineReached, when given, holds the number of the line being examined.
void WalkTasks(const SystemTime& minute, const std::unique_ptr<TStringList>& taskList,
               const TaskRunner& runTask, int* lineReached = nullptr);

// The same over the given entries, in that order, of a table that does not change while it is
// walked (qefcheck judges a table's walk this way, in place); lines are numbered in the table.
void WalkTasks(const SystemTime& minute, const TStringList& table, const std::vector<int>& entries,
               const TaskRunner& runTask);

// The same for the minute the clock shows now, read once.
void WalkTasks(LocalClock& clock, const std::unique_ptr<TStringList>& taskList,
               const TaskRunner& runTask);

// Milliseconds from that reading to the next minute boundary, 1 to 60000.
std::uint32_t MillisecondsToNextMinute(const SystemTime& now);

}  // namespace pendulon
