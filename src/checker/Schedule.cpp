#include "checker/Schedule.h"

#include "checker/Calendar.h"

namespace pendulon {

FieldRange RangeOf(int field) {
  static constexpr FieldRange kRanges[Schedule::kFields] = {
      {0, 59}, {0, 23}, {1, 31}, {1, 12}, {1, 7}};
  return kRanges[field];
}

int MostDaysIn(int month) {
  return DaysIn(2000, month);  // a leap year
}

bool CanOccur(const Schedule& s) {
  return !s.Fixed(TaskFields::kDay) || !s.Fixed(TaskFields::kMonth) ||
         s[TaskFields::kDay] <= MostDaysIn(s[TaskFields::kMonth]);
}

std::optional<Schedule> Intersect(const Schedule& a, const Schedule& b) {
  Schedule both = a;
  for (int f = 0; f < Schedule::kFields; ++f) {
    if (!b.Fixed(f))
      continue;
    if (both.Fixed(f) && both[f] != b[f])
      return std::nullopt;
    both[f] = b[f];
  }
  if (!CanOccur(both))
    return std::nullopt;
  return both;
}

bool Contains(const Schedule& outer, const Schedule& inner) {
  for (int f = 0; f < Schedule::kFields; ++f) {
    if (outer.Fixed(f) && outer[f] != inner[f])
      return false;
  }
  return true;
}

bool Covers(const std::vector<Schedule>& parts, const Schedule& whole) {
  if (!CanOccur(whole))
    return true;
  std::vector<Schedule> relevant;
  for (const Schedule& part : parts) {
    if (Contains(part, whole))
      return true;
    if (Intersect(part, whole))
      relevant.push_back(part);
  }
  // No part holds the whole box: split it along a free field that some part fixes, and ask for
  // each value. The field fixed by most parts prunes fastest.
  int split = -1, mostFixing = 0;
  for (int f = 0; f < Schedule::kFields; ++f) {
    if (whole.Fixed(f))
      continue;
    int fixing = 0;
    for (const Schedule& part : relevant) fixing += part.Fixed(f) ? 1 : 0;
    if (fixing > mostFixing) {
      split = f;
      mostFixing = fixing;
    }
  }
  if (split < 0)
    return false;  // nothing left to split on, and no part holds the box
  const FieldRange range = RangeOf(split);
  for (int v = range.low; v <= range.high; ++v) {
    Schedule piece = whole;
    piece[split] = v;
    if (!Covers(relevant, piece))
      return false;
  }
  return true;
}

}  // namespace pendulon
