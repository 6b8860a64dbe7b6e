#pragma once
// The launch file's section names that a misspelt item name is near: within two edits, each a
// byte added, dropped or changed. The search has a fixed budget, so that a file of thousands of
// sections and items cannot make it slow; past the budget it suggests nothing more.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace pendulon {

class NearNames {
 public:
  // Names must outlive the search; each comes with the line that opens its section.
  void Add(std::string_view name, std::int32_t line);

  // The name nearest to item, the one opened first among the nearest; none when no name is
  // within two edits, or when the item is so short that two edits leave little of it.
  std::optional<std::string_view> Nearest(std::string_view item);

 private:
  struct Name {
    std::string_view text;
    std::int32_t line;
  };
  std::vector<Name> names_;  // by length, then by line, once sorted
  bool sorted_ = false;
  std::int64_t budget_ = 50'000'000;  // steps of the comparison left
};

}  // namespace pendulon
