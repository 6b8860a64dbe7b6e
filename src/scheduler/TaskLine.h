#pragma once
// A line of the task file split at single spaces: minute, hour, day of month, month, day of
// week, and the item name, which is the whole rest after the fifth space.

#include <array>
#include <string_view>

#include "platform/AnsiString.h"

namespace pendulon {

// The fields of one entry, as views into it: valid while the entry is.
class TaskFields {
 public:
  static constexpr int kMinute = 0, kHour = 1, kDay = 2, kMonth = 3, kWeekday = 4, kItem = 5;

  int Count() const { return count_; }
  // Raises EStringListError for a field the entry lacks.
  std::string_view Get(int index) const;

  void Clear() { count_ = 0; }
  void Add(std::string_view field) { fields_[static_cast<std::size_t>(count_++)] = field; }

 private:
  std::array<std::string_view, 6> fields_;
  int count_ = 0;
};

// True for an entry the walk examines: neither empty nor a comment (a "#" as its first byte).
inline bool IsTaskLine(std::string_view entry) {
  return !entry.empty() && entry[0] != '#';
}

// The one rule of a time field: it matches a value the clock shows when it is "*" or exactly the
// value's decimal text, without sign, spaces or leading zeros.
bool FieldMatches(std::string_view field, int value);
// The same, given the value's decimal text, as a walk that compares many lines writes it once.
bool FieldMatches(std::string_view field, std::string_view valueText);

// Fills fields from entry: each space ends a field (two spaces enclose an empty one), the text
// after the last space is dropped, and once five fields are held the rest of the entry, spaces
// included, is the sixth.
void SplitTaskLine(std::string_view entry, TaskFields& fields);

}  // namespace pendulon
