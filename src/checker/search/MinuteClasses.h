#pragma once
// The minutes that a task file's lines can tell apart, and the lines that act in each. A minute's
// time class is the set of lines whose minute and hour fields it matches, its date class the set
// whose day, month and weekday fields it matches: the executer's walk does the same in any two
// minutes of the same two classes. A line acts in a minute when the walk runs its item there, or
// ends there by raising on it.

#include <array>
#include <vector>

#include "checker/search/LineSet.h"
#include "checker/search/Schedule.h"

namespace pendulon {

// A task line as the search needs it.
struct TimedLine {
  int index = 0;    // in the task file, from 0
  Schedule when;    // the minutes its fields match (up to the field it lacks, when it raises)
  int raises = -1;  // the list index it raises in those minutes; -1 when it runs its item
};

class MinuteClasses {
 public:
  // lines in file order; the sets below count them from 0 in that order.
  explicit MinuteClasses(const std::vector<TimedLine>& lines);

  int TimeClass(int hour, int minute) const { return timeClass_[hour * 60 + minute]; }
  // Weekday 1 Sunday ... 7 Saturday. Only dates the calendar has (29 February included).
  int DateClass(int month, int day, int weekday) const {
    return dateClass_[((month - 1) * 31 + day - 1) * 7 + weekday - 1];
  }
  int TimeClasses() const { return static_cast<int>(times_.size()); }
  // The lines whose minute and hour fields a minute of the class matches.
  const LineSet& TimeLines(int timeClass) const {
    return times_[static_cast<std::size_t>(timeClass)];
  }
  // The lines whose day, month and weekday fields a date of the class matches.
  const LineSet& DateLines(int dateClass) const {
    return dates_[static_cast<std::size_t>(dateClass)];
  }
  int DateClasses() const { return static_cast<int>(dates_.size()); }

  // The lines that act in a minute of the two classes: those that match it, up to and including
  // the first of them that raises.
  LineSet Acting(int timeClass, int dateClass) const;
  // True when any line of `among` acts there; the same as Acting, without building the set.
  bool ActsAny(int timeClass, int dateClass, const LineSet& among) const;
  // The first line that raises there; -1 when none does.
  int FirstRaising(int timeClass, int dateClass) const;
  // The lines that act in some minute of a day of the class.
  const LineSet& ActingOn(int dateClass) const { return actingOn_[dateClass]; }
  // The lines that act in some minute the calendar has.
  const LineSet& ActingEver() const { return actingEver_; }

 private:
  int lines_;
  LineSet raising_;
  std::vector<LineSet> times_, dates_;  // by class: the lines whose fields match
  std::array<int, 24 * 60> timeClass_;
  std::array<int, 12 * 31 * 7> dateClass_;
  std::vector<LineSet> actingOn_;
  LineSet actingEver_;
};

}  // namespace pendulon
