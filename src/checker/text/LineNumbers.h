#pragma once
// Line numbers as the reports write them.

#include <string>
#include <vector>

namespace pendulon {

// "line 5", "lines 1 to 134", "lines 2, 4 and 7 to 9": runs of three or more as ranges.
std::string LineNumbers(const std::vector<int>& numbers);
// "line 5"
std::string Line(int number);

}  // namespace pendulon
