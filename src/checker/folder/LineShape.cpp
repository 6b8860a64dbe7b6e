#include "checker/folder/LineShape.h"

#include <vector>

#include "checker/text/Printable.h"

namespace pendulon {
namespace {

bool LooksLikeTimeField(std::string_view word) {
  return word == "*" ||
         (!word.empty() && word.find_first_not_of("0123456789") == std::string_view::npos);
}

// A list, range or step as other schedulers write them: a field, not an item's name.
bool LooksLikeAnyField(std::string_view word) {
  return !word.empty() && word.find_first_not_of("0123456789*,-/") == std::string_view::npos;
}

}  // namespace

namespace {

std::vector<std::string_view> WordsOf(std::string_view line) {
  std::vector<std::string_view> words;
  for (std::size_t begin = 0; begin <= line.size();) {
    const std::size_t space = line.find(' ', begin);
    const std::size_t end = space == std::string_view::npos ? line.size() : space;
    if (end > begin)
      words.push_back(line.substr(begin, end - begin));
    begin = end + 1;
  }
  return words;
}

}  // namespace

TimeWords TimeWordsOf(std::string_view line) {
  const std::vector<std::string_view> words = WordsOf(line);
  TimeWords t;
  while (t.count < words.size() && LooksLikeTimeField(words[t.count])) ++t.count;
  // Two spaces in a row make an empty field, which the line's verdict names already.
  t.itemFollows = t.count < words.size() && !LooksLikeAnyField(words[t.count]) &&
                  line.find("  ") == std::string_view::npos && !line.empty() && line.front() != ' ';
  return t;
}

std::string FieldCountHint(std::string_view line) {
  const std::vector<std::string_view> words = WordsOf(line);
  const auto [timed, named] = TimeWordsOf(line);
  if (timed > 5 && named)
    return "the line has " + std::to_string(timed) +
           " time fields before its item; Pendulon reads 5 (minute hour day month weekday), "
           "so the sixth is taken as the start of the item";
  if (timed < 5 && timed > 0 && named)
    return "the line has " + std::to_string(timed) + " time field" + (timed == 1 ? "" : "s") +
           " before its item \"" + Visible(words[timed]) +
           "\"; Pendulon needs 5 (minute hour day month weekday)";
  return {};
}

std::string WeekdayHint(std::string_view weekday) {
  return weekday == "7" ? "7 is Saturday here; Sunday is 1" : std::string();
}

}  // namespace pendulon
