#pragma once
// Local minutes, and those a task line's five time fields select, each field fixed to one value
// the clock shows or free (weekdays as the executer numbers them: 1 Sunday ... 7 Saturday).

#include <array>
#include <optional>
#include <string>

#include "checker/text/CalendarWords.h"
#include "platform/Calendar.h"
#include "platform/SystemTime.h"
#include "scheduler/TaskLine.h"

namespace pendulon {

struct Schedule {
  static constexpr int kAny = -1;
  static constexpr int kFields = TaskFields::kItem;  // indexed as TaskFields: kMinute ... kWeekday

  std::array<int, kFields> value{kAny, kAny, kAny, kAny, kAny};

  bool Fixed(int field) const { return value[static_cast<std::size_t>(field)] != kAny; }
  int operator[](int field) const { return value[static_cast<std::size_t>(field)]; }
  int& operator[](int field) { return value[static_cast<std::size_t>(field)]; }
  auto operator<=>(const Schedule&) const = default;
};

// The values the clock shows in a field: minute 0-59, hour 0-23, day 1-31, month 1-12,
// weekday 1-7.
struct FieldRange {
  int low, high;
};
FieldRange RangeOf(int field);

// False when the fixed day never occurs in the fixed month (31 April, 30 February).
bool CanOccur(const Schedule& schedule);

// The minutes in both; none when the two fix a field differently or the date cannot occur.
std::optional<Schedule> Intersect(const Schedule& a, const Schedule& b);

// The first minute from `from` to `to`, both included, that the schedule selects, as the
// minutes are labelled; nothing when there is none, or none within 400 days of `from`.
std::optional<LocalMinute> FirstIn(const Schedule& schedule, const LocalMinute& from,
                                   const LocalMinute& to);

// In words: "every minute", "at minute 5 of every hour", "at 8:30 on Mondays", "at 0:00 on 1
// January".
std::string DescribeSchedule(const Schedule& schedule);

}  // namespace pendulon
