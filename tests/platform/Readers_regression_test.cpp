// Inputs the fuzz targets in fuzz/ found faults with, kept here so the ordinary suite holds the
// mended behaviour. Under the sanitize preset these also run with ASan and UBSan.

#include <gtest/gtest.h>

#include <string_view>

#include "platform/Files.h"

namespace pendulon {
namespace {

// fuzz_lines: an empty view with no storage behind it reached memchr as a null pointer, which
// UBSan stops on and an optimiser may take as proof that the pointer is never null.
TEST(ReadersRegression, AppendLinesTakesEveryEmptyTextAlike) {
  const std::string_view cases[] = {std::string_view(), std::string_view(""),
                                    std::string_view("\0a\r\n", 4)};
  for (const std::string_view text : cases) {
    TStringList list;
    list.Add("kept");
    AppendLines(text, list);
    ASSERT_EQ(list.Count(), 1) << text.size();
    EXPECT_EQ(list[0], "kept");
  }
}

}  // namespace
}  // namespace pendulon
