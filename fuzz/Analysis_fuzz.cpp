// Fuzzes qefcheck's analysis of a task file: each line's verdict, its field diagnoses and its
// next times, on a clock with summer time or without. The next times of the file's first lines
// are held against the executer's own walk, run minute by minute over a day that may hold a
// clock change; the whole file must be analysed and reported within the time limit per input, up
// to the largest file qefcheck checks, and no byte of it may reach the terminal as a control.
//
// Input: one byte choosing the moment and the zone, then the task file.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "FuzzCheck.h"
#include "checker/folder/FolderCheck.h"
#include "checker/report/JsonReport.h"
#include "checker/text/Printable.h"
#include "checker/folder/SizeLimits.h"
#include "checker/report/TextReport.h"
#include "checker/report/Windows1252Text.h"
#include "platform/Exceptions.h"
#include "platform/Files.h"
#include "scheduler/MinuteMatcher.h"
#include "scheduler/TaskLine.h"
#include "support/SimPlatform.h"
#include "support/SimWorld.h"

namespace pendulon::fuzz {
namespace {

using sim::kHour;
using sim::kMinute;

// The lines held against the walk minute by minute, and the minutes they are held for.
constexpr int kLinesWalked = 24;
constexpr int kMinutesWalked = 24 * 60;

// Moments to count from: plain days, the eves of both clock changes of 2027, the turn of a
// year, the end of a leap February.
const LocalMinute kAfter[] = {{2026, 3, 2, 10, 5},   {2027, 3, 27, 13, 0}, {2027, 10, 30, 13, 0},
                              {2026, 12, 31, 12, 0}, {2028, 2, 28, 13, 0}, {2027, 3, 28, 0, 59},
                              {2027, 10, 31, 1, 30}, {2026, 6, 15, 23, 59}};

// Summer time in 2027 as in Europe/Berlin, from 01:00 UTC on 28 March to 01:00 UTC on 31 October.
void SummerTime(sim::SimWorld& world) {
  world.SetOffsetFrom(INT64_MIN, kHour);
  world.SetOffsetFrom(sim::UtcMsFromCivil(2027, 3, 28, 1, 0, 0, 0), 2 * kHour);
  world.SetOffsetFrom(sim::UtcMsFromCivil(2027, 10, 31, 1, 0, 0, 0), kHour);
}

// A field the diagnosis lets match matches exactly at its value, by the executer's matcher at
// every value the clock shows; one it names a problem never does.
void CheckDiagnosis(sim::SimWorld& world, sim::SimPlatform& platform, int field,
                    std::string_view text) {
  const FieldDiagnosis d = DiagnoseField(field, text);
  FUZZ_REQUIRE((d.problem == FieldProblem::kNone) == (text == "*" || d.value >= 0));
  std::string fields[5] = {"*", "*", "*", "*", "*"};
  fields[field] = std::string(text);
  auto table = std::make_unique<TStringList>();
  table->Add(fields[0] + " " + fields[1] + " " + fields[2] + " " + fields[3] + " " + fields[4] +
             " x");
  const FieldRange range = RangeOf(field);
  for (int v = range.low; v <= range.high; ++v) {
    const int values[5] = {field == 0 ? v : 0, field == 1 ? v : 0, field == 2 ? v : 1,
                           field == 3 ? v : 1, 1};
    // 4 January 2026 is a Sunday, weekday 1.
    world.SetLocalTime(2026, values[3], field == 4 ? 3 + v : values[2], values[1], values[0], 0);
    bool ran = false;
    WalkTasks(platform, table, [&](const AnsiString&, int) { return ran = true; });
    FUZZ_REQUIRE(ran == (d.problem == FieldProblem::kNone && (d.value < 0 || d.value == v)));
  }
}

using Table = std::unique_ptr<TStringList>;

// Whether the walk of the table ends by raising; the lines it runs (from 0) go to ran.
bool Raises(sim::SimPlatform& platform, const Table& table, std::vector<int>* ran = nullptr) {
  try {
    WalkTasks(platform, table, [&](const AnsiString&, int line) {
      if (ran != nullptr)
        ran->push_back(line - 1);
      return true;
    });
  } catch (const EStringListError&) {
    return true;
  }
  return false;
}

// The lines (from 0) the walk acts on in the minute the clock shows: those it runs, and the
// one it raises on, the last line of the shortest of the tables' first lines that raises.
// parts[n] holds the first n lines of the table.
std::vector<int> Acting(sim::SimPlatform& platform, const std::vector<Table>& parts) {
  std::vector<int> acting;
  if (!Raises(platform, parts.back(), &acting))
    return acting;
  std::size_t count = acting.empty() ? 1 : static_cast<std::size_t>(acting.back()) + 2;
  while (!Raises(platform, parts[count])) ++count;
  acting.push_back(static_cast<int>(count) - 1);
  return acting;
}

std::vector<LineReport> Analyse(const TStringList& table, sim::SimPlatform& platform,
                                const LocalMinute& after, int count) {
  ServingHost served(platform);
  LaunchExplainer launches(served, "C:\\Tools\\lib\\launch.qef", false);
  try {
    return AnalyseLines(table, launches, served, after, count);
  } catch (const std::logic_error& e) {
    std::fprintf(stderr, "%s\n", e.what());
    FUZZ_REQUIRE(!"the search and the walk disagree");
  }
  return {};
}

}  // namespace
}  // namespace pendulon::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pendulon;
  using namespace pendulon::fuzz;
  if (size == 0)
    return 0;
  const LocalMinute after = kAfter[data[0] % 8];
  sim::SimWorld world;
  sim::SimPlatform platform(world, "C:\\Tools\\qefcheck.exe", "qefcheck.exe");
  if ((data[0] & 8) != 0)
    SummerTime(world);
  TStringList lines, table;
  AppendLines(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1), lines);
  // qefcheck refuses a longer file before it judges a line.
  for (int i = 0; i < lines.Count() && i < kTaskFileLimit.lines; ++i) table.Add(lines[i]);

  // The whole file as the report judges it: three next times a line.
  FolderCheck check;
  check.now = after;
  check.lines = Analyse(table, platform, after, 3);
  for (const LineReport& line : check.lines) {
    FUZZ_REQUIRE(line.next.size() <= 3);
    FUZZ_REQUIRE(IsProblem(line.verdict) ==
                 (line.verdict != Verdict::kSkipped && line.verdict != Verdict::kLaunches));
    FUZZ_REQUIRE((line.verdict == Verdict::kNever) == line.failure.has_value());
    FUZZ_REQUIRE(line.verdict != Verdict::kUnreached ||
                 (line.next.empty() && !line.blockedBy.empty()));
    for (std::size_t i = 0; i < line.next.size(); ++i)
      FUZZ_REQUIRE(after < line.next[i].at && (i == 0 || line.next[i - 1].at < line.next[i].at));
  }
  std::ostringstream text, json;
  WriteTextReport(text, check);
  WriteJsonReport(json, check);
  // No byte of the file reaches the terminal as a control: not in the report's fields, and not
  // once its letters are shown in UTF-8.
  Windows1252Text windows1252;
  for (const std::string& shown : {text.str(), ShowLine(text.str(), platform, windows1252)}) {
    for (std::size_t i = 0; i < shown.size(); ++i) {
      const auto byte = static_cast<unsigned char>(shown[i]);
      FUZZ_REQUIRE((byte >= 0x20 || byte == '\n') && byte != 0x7F);
      FUZZ_REQUIRE(!(byte == 0xC2 && i + 1 < shown.size() &&
                     static_cast<unsigned char>(shown[i + 1]) < 0xA0 &&
                     static_cast<unsigned char>(shown[i + 1]) >= 0x80));
    }
  }
  // Valid JSON of ASCII bytes, whatever bytes the file holds.
  const std::string report = json.str();
  FUZZ_REQUIRE(std::all_of(report.begin(), report.end(),
                           [](char c) { return static_cast<unsigned char>(c) < 0x80; }));
  FUZZ_REQUIRE(nlohmann::json::accept(report));

  // The first lines: each field's diagnosis against the matcher, then every minute of a day
  // against the walk.
  std::vector<Table> parts(1);
  parts[0] = std::make_unique<TStringList>();
  for (int i = 0; i < table.Count() && i < kLinesWalked; ++i) {
    parts.push_back(std::make_unique<TStringList>(*parts.back()));
    parts.back()->Add(table[i]);
    const LineReport& line = check.lines[static_cast<std::size_t>(i)];
    const int judged =
        line.failure ? line.failure->field + 1 : static_cast<int>(line.fields.size());
    for (int f = 0; f < judged && f < TaskFields::kItem && i < 4; ++f)
      CheckDiagnosis(world, platform, f, line.fields[static_cast<std::size_t>(f)]);
  }
  // Setting the local time keeps the offset in force: the second time, it is the one at `after`.
  for (int twice = 0; twice < 2; ++twice)
    world.SetLocalTime(after.year, after.month, after.day, after.hour, after.minute, 0, 200);
  std::map<LocalMinute, int> shown;
  const int walked = parts.back()->Count();
  std::vector<std::vector<LocalMinute>> acts(static_cast<std::size_t>(walked));
  for (int i = 0; i < kMinutesWalked; ++i) {
    world.AdvanceBy(kMinute);
    const LocalMinute now = MinuteOf(world.LocalTime());
    ++shown[now];
    for (const int line : Acting(platform, parts))
      acts[static_cast<std::size_t>(line)].push_back(now);
  }
  // Within the day, each line acts exactly at its next times, as often as the clock shows them,
  // up to its last next time, or throughout the day when that lies beyond it.
  const LocalMinute last = shown.rbegin()->first;
  for (int i = 0; i < walked; ++i) {
    const LineReport& line = check.lines[static_cast<std::size_t>(i)];
    const LocalMinute bound =
        line.next.size() < 3 || last < line.next.back().at ? last : line.next.back().at;
    std::vector<LocalMinute> listed, seen;
    for (const NextTime& next : line.next) {
      if (next.at <= bound)
        listed.insert(listed.end(), next.twice ? 2 : 1, next.at);
    }
    for (const LocalMinute& at : acts[static_cast<std::size_t>(i)]) {
      if (at <= bound)
        seen.push_back(at);
    }
    std::sort(seen.begin(), seen.end());
    FUZZ_REQUIRE(seen == listed);
    for (const SkippedMinute& skipped : line.skipped)
      FUZZ_REQUIRE(last < skipped.at || shown.count(skipped.at) == 0);
  }
  return 0;
}
