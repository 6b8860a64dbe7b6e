#include "checker/text/LineNumbers.h"

namespace pendulon {

std::string Line(int number) {
  return "line " + std::to_string(number);
}

std::string LineNumbers(const std::vector<int>& numbers) {
  std::vector<std::string> parts;
  for (std::size_t i = 0; i < numbers.size();) {
    std::size_t j = i + 1;
    while (j < numbers.size() && numbers[j] == numbers[j - 1] + 1) ++j;
    if (j - i >= 3) {
      parts.push_back(std::to_string(numbers[i]) + " to " + std::to_string(numbers[j - 1]));
    } else {
      for (std::size_t n = i; n < j; ++n) parts.push_back(std::to_string(numbers[n]));
    }
    i = j;
  }
  const bool one = numbers.size() == 1;
  std::string text = one ? "line " : "lines ";
  for (std::size_t i = 0; i < parts.size(); ++i)
    text += (i == 0 ? "" : i + 1 == parts.size() ? " and " : ", ") + parts[i];
  return text;
}

}  // namespace pendulon
