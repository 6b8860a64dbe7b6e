#pragma once
// What the shape of a task line shows that its fields alone do not: a time field too many (a
// seconds field, as some schedulers have) or too few before the item, and a weekday 7 meant as
// Sunday. Each is a hint to add to the line's verdict; empty when the line shows none.

#include <string>
#include <string_view>

namespace pendulon {

// The words at the start of the line that look like time fields ("*" or a number), and whether
// a word follows them that would name the item.
struct TimeWords {
  std::size_t count = 0;
  bool itemFollows = false;
};
TimeWords TimeWordsOf(std::string_view line);

// A field too many or too few before the item, judged by TimeWordsOf; empty when the line has
// five of them, or no item follows.
std::string FieldCountHint(std::string_view line);

// For a weekday field of "7": which day that is here.
std::string WeekdayHint(std::string_view weekday);

}  // namespace pendulon
