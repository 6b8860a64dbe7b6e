#pragma once
// Next times in a zone with daylight-saving time, as every platform's zone must give them: in
// Europe/Berlin the clock goes from 02:00 to 03:00 on the last Sunday of March and from 03:00
// back to 02:00 on the last Sunday of October. Counted from Wed 2026-12-09 12:00.

#include <sstream>
#include <string>
#include <vector>

#include "checker/folder/FolderCheck.h"
#include "checker/report/TextReport.h"

namespace pendulon {

struct ZoneCase {
  const char* line;
  const char* said;  // the line's next times in the text report
};

inline const ZoneCase kBerlinCases[] = {
    {"30 2 28 3 * Spring",
     "next: Tue 2028-03-28 02:30, Wed 2029-03-28 02:30, Thu 2030-03-28 02:30 (Sun 2027-03-28 "
     "02:30 does not occur: the clock goes from 02:00 to 03:00)\n"},
    {"30 2 31 10 * Autumn",
     "next: Sun 2027-10-31 02:30 (twice: summer and winter time), Tue 2028-10-31 02:30, Wed "
     "2029-10-31 02:30\n"},
    {"30 2 31 10 ", "next: Sun 2027-10-31 02:30 (twice: summer and winter time), Tue"},
    {"59 1 28 3 * Before",
     "next: Sun 2027-03-28 01:59, Tue 2028-03-28 01:59, Wed 2029-03-28 01:59\n"},
    {"0 3 28 3 * After",
     "next: Sun 2027-03-28 03:00, Tue 2028-03-28 03:00, Wed 2029-03-28 03:00\n"},
    // The skipped Sunday lies beyond the span the next times cover.
    {"0 2 * 3 1 March", "next: Sun 2027-03-07 02:00, Sun 2027-03-14 02:00, Sun 2027-03-21 02:00\n"},
    {"0 2 28 * 1 Sunday",
     "next: Sun 2027-02-28 02:00, Sun 2027-11-28 02:00, Sun 2028-05-28 02:00 (Sun 2027-03-28 "
     "02:00 does not occur: the clock goes from 02:00 to 03:00)\n"},
};

inline const LocalMinute kZoneNow{2026, 12, 9, 12, 0};

// The text report of a task file of one line, with no launch file, on the host's time zone.
inline std::string ZoneReport(ReadingHost& host, const char* line) {
  TStringList table;
  table.Add(line);
  ServingHost served(host);
  LaunchExplainer launches(served, "", false);
  FolderCheck check;
  check.now = kZoneNow;
  check.lines = AnalyseLines(table, launches, served, check.now);
  std::ostringstream out;
  WriteTextReport(out, check);
  return out.str();
}

}  // namespace pendulon
