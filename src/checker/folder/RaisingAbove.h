#pragma once
// The lines above a task line that raise in some of its minutes, found by comparing distinct
// schedules rather than pairs of lines. Of several raising lines with one schedule only the
// first can raise first, so it alone is named; and each line keeps only the first few it meets,
// with a count of the rest. A file of 10,000 lines that all raise at minute 5 then costs one
// comparison a line, not 50 million, and its report stays a few lines long.

#include <cstddef>
#include <map>
#include <vector>

#include "checker/search/Schedule.h"

namespace pendulon {

class RaisingAbove {
 public:
  static constexpr std::size_t kMostNamed = 20;

  struct Overlap {
    int line = 0;   // the first line, from 1, that raises with that schedule
    Schedule both;  // the minutes in which it raises while the line below would act
  };
  struct Found {
    std::vector<Overlap> first;  // up to kMostNamed, in file order
    int more = 0;                // the others
  };

  // Lines come in file order: first ask about a line, then add it if it raises.
  Found Above(const Schedule& when);
  void AddRaising(const Schedule& when, int line);

 private:
  struct Seen {  // what the lines of one schedule have met so far
    std::size_t compared = 0;
    Found found;
  };
  std::vector<Overlap> raising_;           // one per distinct schedule, by its first line
  std::map<Schedule, std::size_t> known_;  // the schedules in raising_
  std::map<Schedule, Seen> seen_;
};

}  // namespace pendulon
