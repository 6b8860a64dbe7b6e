#include "checker/launch/NearNames.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace pendulon {
namespace {

TEST(NearNames, SuggestsASectionWithinTwoEditsTheFirstAmongTheNearest) {
  const std::vector<std::string> names = {"Backup", "Photo Viewer", "Report", "Reports", "Mail"};
  struct Case {
    const char* item;
    const char* nearest;  // empty: none
  } const cases[] = {
      {"Bakup", "Backup"},    // a byte dropped
      {"Backupp", "Backup"},  // one added
      {"Bcakup", "Backup"},   // two changed
      {"Photo Veiwer", "Photo Viewer"},
      {"Reprt", "Report"},      // Report and Reports are both near; Report comes first
      {"Reportss", "Reports"},  // the nearer one, though it comes later
      {"Bcakpu", ""},           // four edits
      {"Mial", ""},             // too short for two edits to mean much
      {"Backup", ""},           // the same name is no suggestion
  };
  NearNames near;
  for (std::size_t i = 0; i < names.size(); ++i) near.Add(names[i], static_cast<int>(i));
  for (const Case& c : cases) {
    const std::optional<std::string_view> found = near.Nearest(c.item);
    EXPECT_EQ(found ? std::string(*found) : "", c.nearest) << c.item;
  }
}

}  // namespace
}  // namespace pendulon
