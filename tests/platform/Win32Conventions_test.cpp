#include "platform/Win32Conventions.h"

#include <cstring>
#include <limits>
#include <string>

#include <gtest/gtest.h>

namespace pendulon {
namespace {

TEST(CopyModuleFileName, CutsAPathThatDoesNotFitToSizeLessOneAndReturnsSize) {
  const std::string path = "C:\\Tools\\pendulon.exe";  // 21 bytes
  struct Case {
    std::uint32_t size, returned;
    const char* copied;  // nullptr: the buffer is left alone
  } cases[] = {
      {0, 0, nullptr},
      {1, 1, ""},
      {4, 4, "C:\\"},
      {21, 21, "C:\\Tools\\pendulon.ex"},
      {22, 21, "C:\\Tools\\pendulon.exe"},
      {64, 21, "C:\\Tools\\pendulon.exe"},
  };
  for (const Case& c : cases) {
    char buffer[64];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(CopyModuleFileName(path, buffer, c.size), c.returned) << c.size;
    if (c.copied == nullptr)
      EXPECT_EQ(buffer[0], '#') << c.size;
    else
      EXPECT_STREQ(buffer, c.copied) << c.size;
  }
}

TEST(DosDateTimeOf, PacksOnlyTheYears1980To2107) {
  struct Case {
    FileTime time;
    bool ok;
    std::uint16_t date, timeOfDay;
  } cases[] = {
      {FileTimeFromUnix(315532800, 0), true, (0 << 9) | (1 << 5) | 1, 0},  // 1980-01-01
      {FileTimeFromUnix(315532799, 999999999), false, 0, 0},
      {FileTimeFromUnix(1000000000, 0), true, (21 << 9) | (9 << 5) | 9,
       (1 << 11) | (46 << 5) | 20},  // 2001-09-09 01:46:40
      // 2024-02-29 13:37:59.5: the odd second is halved down.
      {FileTimeFromUnix(1709213879, 500000000), true, (44 << 9) | (2 << 5) | 29,
       (13 << 11) | (37 << 5) | 29},
      {FileTimeFromUnix(4354819199, 0), true, (127 << 9) | (12 << 5) | 31,
       (23 << 11) | (59 << 5) | 29},  // 2107-12-31 23:59:59
      {FileTimeFromUnix(4354819200, 0), false, 0, 0},
      {0, false, 0, 0},
      {std::numeric_limits<FileTime>::max(), false, 0, 0},  // year 60055: no wrap into range
  };
  for (const Case& c : cases) {
    std::uint16_t date = 0, timeOfDay = 0;
    EXPECT_EQ(DosDateTimeOf(c.time, date, timeOfDay), c.ok) << c.time;
    EXPECT_EQ(date, c.date) << c.time;
    EXPECT_EQ(timeOfDay, c.timeOfDay) << c.time;
  }
  EXPECT_EQ(FileTimeFromUnix(-kSecondsFrom1601To1970 - 1, 0), 0u);  // before 1601
}

}  // namespace
}  // namespace pendulon
