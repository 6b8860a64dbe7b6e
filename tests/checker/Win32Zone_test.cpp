// qefcheck.exe's next times on the Win32 platform's time zone. Run by in-zone.sh, which gives
// Wine the zone Europe/Berlin: the zone cannot change once Wine's server runs.

#include <gtest/gtest.h>

#include <string>

#include "ZoneCases.h"
#include "platform/Calendar.h"
#include "platform/win32/Win32Platform.h"

namespace pendulon {
namespace {

TEST(Win32Zone, NextTimesFollowTheSystemsZone) {
  Win32Platform platform;
  // The changes of 2027, at 01:00 UTC: to summer time on 28 March, back on 31 October.
  const auto utc = [](unsigned month, unsigned day, int minute) {
    return (DaysFromCivil(2027, month, day) * 24 * 60 + minute) * 60;
  };
  const struct {
    std::int64_t utc;
    std::int32_t offset;
  } instants[] = {
      {utc(3, 28, 59), 60}, {utc(3, 28, 60), 120}, {utc(10, 31, 59), 120}, {utc(10, 31, 60), 60}};
  for (const auto& instant : instants)
    EXPECT_EQ(platform.UtcOffsetMinutesAt(instant.utc), instant.offset) << instant.utc;
  for (const ZoneCase& c : kBerlinCases) {
    const std::string report = ZoneReport(platform, c.line);
    EXPECT_NE(report.find(c.said), std::string::npos) << c.said << "\n---\n" << report;
  }
}

}  // namespace
}  // namespace pendulon
