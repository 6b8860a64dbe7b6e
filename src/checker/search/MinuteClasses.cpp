#include "checker/search/MinuteClasses.h"

#include <map>

namespace pendulon {
namespace {

using F = TaskFields;  // a schedule is indexed by the task line's fields

// For each value of a field, the lines that match it: free, or fixed to that value.
std::vector<LineSet> ValueSets(const std::vector<TimedLine>& lines, int field) {
  const FieldRange range = RangeOf(field);
  std::vector<LineSet> sets(static_cast<std::size_t>(range.high - range.low + 1),
                            LineSet(static_cast<int>(lines.size())));
  for (std::size_t k = 0; k < lines.size(); ++k) {
    const Schedule& when = lines[k].when;
    for (int v = range.low; v <= range.high; ++v) {
      if (!when.Fixed(field) || when[field] == v)
        sets[static_cast<std::size_t>(v - range.low)].Set(static_cast<int>(k));
    }
  }
  return sets;
}

// The class of a set of lines: the same set, the same class.
int ClassOf(const LineSet& set, std::vector<LineSet>& classes,
            std::map<std::vector<std::uint64_t>, int>& known) {
  const auto [found, fresh] = known.try_emplace(set.Words(), static_cast<int>(classes.size()));
  if (fresh)
    classes.push_back(set);
  return found->second;
}

LineSet Both(const LineSet& a, const LineSet& b) {
  LineSet both = a;
  both &= b;
  return both;
}

}  // namespace

MinuteClasses::MinuteClasses(const std::vector<TimedLine>& lines)
    : lines_(static_cast<int>(lines.size())), raising_(lines_), actingEver_(lines_) {
  for (int k = 0; k < lines_; ++k) {
    if (lines[static_cast<std::size_t>(k)].raises >= 0)
      raising_.Set(k);
  }
  const auto minutes = ValueSets(lines, F::kMinute), hours = ValueSets(lines, F::kHour);
  std::map<std::vector<std::uint64_t>, int> known;
  for (int h = 0; h < 24; ++h) {
    for (int m = 0; m < 60; ++m)
      timeClass_[static_cast<std::size_t>(h * 60 + m)] =
          ClassOf(Both(minutes[static_cast<std::size_t>(m)], hours[static_cast<std::size_t>(h)]),
                  times_, known);
  }
  const auto days = ValueSets(lines, F::kDay), months = ValueSets(lines, F::kMonth),
             weekdays = ValueSets(lines, F::kWeekday);
  known.clear();
  dateClass_.fill(-1);
  for (int month = 1; month <= 12; ++month) {
    for (int day = 1; day <= MostDaysIn(month); ++day) {
      const LineSet date = Both(days[static_cast<std::size_t>(day - 1)],
                                months[static_cast<std::size_t>(month - 1)]);
      for (int weekday = 1; weekday <= 7; ++weekday)
        dateClass_[static_cast<std::size_t>(((month - 1) * 31 + day - 1) * 7 + weekday - 1)] =
            ClassOf(Both(date, weekdays[static_cast<std::size_t>(weekday - 1)]), dates_, known);
    }
  }
  // Every pair of classes occurs: each date with each weekday within the calendar's 400 years.
  // In a pair, the lines that match act up to the first of them that raises. Which one that is
  // depends on each class only through the raising lines it matches, so the time classes are
  // taken together by those, and the date classes too: far fewer pairs than 1440 times 2562.
  std::vector<LineSet> raisingAt, matchingAt;  // by raising lines a time class matches
  known.clear();
  for (const LineSet& time : times_) {
    LineSet raising = Both(time, raising_);
    const int group = ClassOf(raising, raisingAt, known);
    if (static_cast<std::size_t>(group) == matchingAt.size())
      matchingAt.emplace_back(lines_);
    matchingAt[static_cast<std::size_t>(group)] |= time;
  }
  std::map<std::vector<std::uint64_t>, LineSet> byRaising;  // by raising lines a date matches
  actingOn_.reserve(dates_.size());
  for (const LineSet& date : dates_) {
    const LineSet raising = Both(date, raising_);
    const auto [found, fresh] = byRaising.try_emplace(raising.Words(), lines_);
    if (fresh) {
      auto& acting = found->second.Words();
      for (std::size_t g = 0; g < raisingAt.size(); ++g) {
        const auto& matching = matchingAt[g].Words();
        const auto& raise = raisingAt[g].Words();
        for (std::size_t w = 0; w < acting.size(); ++w) {
          if (const std::uint64_t first = raise[w] & raising.Words()[w]; first != 0) {
            const std::uint64_t lowest = first & (~first + 1);
            acting[w] |= matching[w] & (lowest | (lowest - 1));
            break;
          }
          acting[w] |= matching[w];
        }
      }
    }
    actingOn_.push_back(Both(found->second, date));
    actingEver_ |= actingOn_.back();
  }
}

int MinuteClasses::FirstRaising(int timeClass, int dateClass) const {
  const auto& t = times_[static_cast<std::size_t>(timeClass)].Words();
  const auto& d = dates_[static_cast<std::size_t>(dateClass)].Words();
  const auto& r = raising_.Words();
  for (std::size_t w = 0; w < r.size(); ++w) {
    if (const std::uint64_t bits = t[w] & d[w] & r[w]; bits != 0)
      return static_cast<int>(w * 64 + static_cast<std::size_t>(std::countr_zero(bits)));
  }
  return -1;
}

LineSet MinuteClasses::Acting(int timeClass, int dateClass) const {
  LineSet acting = Both(times_[static_cast<std::size_t>(timeClass)],
                        dates_[static_cast<std::size_t>(dateClass)]);
  const int first = FirstRaising(timeClass, dateClass);
  if (first < 0)
    return acting;
  // The walk ends at the first line that raises: none below it acts.
  for (int k = acting.Next(first + 1); k >= 0; k = acting.Next(k + 1)) acting.Reset(k);
  return acting;
}

bool MinuteClasses::ActsAny(int timeClass, int dateClass, const LineSet& among) const {
  const auto& t = times_[static_cast<std::size_t>(timeClass)].Words();
  const auto& d = dates_[static_cast<std::size_t>(dateClass)].Words();
  const auto& r = raising_.Words();
  const auto& a = among.Words();
  for (std::size_t w = 0; w < a.size(); ++w) {
    std::uint64_t matching = t[w] & d[w];
    if (const std::uint64_t raise = matching & r[w]; raise != 0) {
      // Keep the first raising line and those above it.
      const std::uint64_t first = raise & (~raise + 1);
      return (matching & a[w] & (first | (first - 1))) != 0;
    }
    if ((matching & a[w]) != 0)
      return true;
  }
  return false;
}

}  // namespace pendulon
