#include "scheduler/TaskLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Exceptions.h"

namespace pendulon {
namespace {

std::vector<std::string> Split(const std::string& entry) {
  TaskFields fields;
  SplitTaskLine(entry, fields);
  std::vector<std::string> result;
  for (int i = 0; i < fields.Count(); ++i) result.emplace_back(fields.Get(i));
  return result;
}

TEST(SplitTaskLine, FieldsByNumberOfSpaces) {
  using F = std::vector<std::string>;
  struct Case {
    const char* entry;
    F fields;
  } cases[] = {
      {"backup", {}},
      {"1 2 3", {"1", "2"}},
      {"* * * *", {"*", "*", "*"}},
      {"* * * * * ", {"*", "*", "*", "*", "*"}},
      {"5 * * * * backup", {"5", "*", "*", "*", "*", "backup"}},
      {"* * * * *  backup", {"*", "*", "*", "*", "*", " backup"}},
      {"* * * * * backup  ", {"*", "*", "*", "*", "*", "backup  "}},
      {"* * * * * a b  c", {"*", "*", "*", "*", "*", "a b  c"}},
      {"*  * * * backup", {"*", "", "*", "*", "*", "backup"}},
      {" #x * * * * y", {"", "#x", "*", "*", "*", "* y"}},
      {"*\t*\t*\t*\t*\tbackup", {}},
      {"     x", {"", "", "", "", "", "x"}},
      {"      ", {"", "", "", "", "", " "}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Split(c.entry), c.fields) << '"' << c.entry << '"';
  }
}

TEST(SplitTaskLine, AMissingFieldRaisesTheListIndexError) {
  TaskFields fields;
  SplitTaskLine("* * *", fields);
  try {
    fields.Get(2);
    FAIL();
  } catch (const EStringListError& e) {
    EXPECT_EQ(e.Message(), "List index out of bounds (2)");
  }
}

}  // namespace
}  // namespace pendulon
