// qefcheck.exe's next times on the Win32 platform's time zone. Run by in-zone.sh, which gives
// Wine the zone Europe/Berlin: the zone cannot change once Wine's server runs.

#include <gtest/gtest.h>

#include <string>

#include "ZoneCases.h"
#include "platform/win32/Win32Platform.h"
#include "support/BerlinOffsets.h"

namespace pendulon {
namespace {

TEST(Win32Zone, NextTimesFollowTheSystemsZone) {
  Win32Platform platform;
  for (const ZoneOffsetAt& at : kBerlinOffsets2027)
    EXPECT_EQ(platform.UtcOffsetMinutesAt(at.utcSeconds), at.offsetMinutes) << at.utcSeconds;
  for (const ZoneCase& c : kBerlinCases) {
    const std::string report = ZoneReport(platform, c.line);
    EXPECT_NE(report.find(c.said), std::string::npos) << c.said << "\n---\n" << report;
  }
}

}  // namespace
}  // namespace pendulon
