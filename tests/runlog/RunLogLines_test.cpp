// Splitting a run log into lines: line ends, lines cut short, and lines of any length.

#include "runlog/RunLogLines.h"

#include <gtest/gtest.h>

#include <string>

namespace pendulon {
namespace {

std::string Line(LogEvent event, const std::vector<std::string>& fields) {
  return LogLine({"2026-12-09T08:30:00.214+01:00", event, fields});
}

// Each line read as "number:event", or "number:-" for one skipped.
std::string Read(const std::string& text, std::size_t piece, bool inside = false) {
  std::string seen;
  RunLogLines lines([&](std::int64_t number, std::optional<LogEntry> entry) {
    seen += (seen.empty() ? "" : " ") + std::to_string(number) + ":" +
            (entry ? EventName(entry->event) : "-");
  });
  if (inside)
    lines.BeginInsideALine();
  for (std::size_t at = 0; at < text.size(); at += piece)
    lines.Add(std::string_view(text).substr(at, piece));
  lines.Finish();
  return seen;
}

TEST(RunLogLines, ALineCutShortNeverJoinsTheNextOne) {
  const std::string box = Line(LogEvent::kBoxOpen, {"Cannot open file C:\\x."});
  const std::string launch = Line(LogEvent::kLaunch, {"2026-12-09T08:30", "5", "A", "open",
                                                      "C:\\a.exe", "", "C:\\", "42", "ok", "31"});
  const auto lf = [](std::string s) { return s.erase(s.size() - 2, 1); };
  struct Case {
    std::string text;
    const char* read;
    bool inside = false;
  } const cases[] = {
      {box + launch, "1:box-open 2:launch"},
      {lf(box) + lf(launch), "1:box-open 2:launch"},
      {box.substr(0, 40) + launch + box, "1:- 1:launch 2:box-open"},
      {launch.substr(0, 60) + box.substr(0, 40) + launch, "1:- 1:- 1:launch"},
      {launch + box.substr(0, 40), "1:launch 2:-"},
      {"\r\n" + std::string("garbage\t\0\r\n", 11) + box, "1:- 2:- 3:box-open"},
      {std::string(1 << 20, 'x') + launch + box, "1:- 1:launch 2:box-open"},
      {std::string(1 << 20, '\t') + "\r\n" + box, "1:- 2:box-open"},
      {"rest of a line\r\n" + box, "1:box-open", true},
  };
  for (const Case& c : cases) {
    for (const std::size_t piece : {std::size_t{1} << 30, std::size_t{4096}, std::size_t{7}})
      EXPECT_EQ(Read(c.text, piece, c.inside), c.read) << c.text.substr(0, 200) << " " << piece;
  }
  // 16 MiB without a line end hold no more than two of the longest lines.
  RunLogLines endless([](std::int64_t, std::optional<LogEntry>) {});
  for (int i = 0; i < 256; ++i) endless.Add(std::string(64 * 1024, 'x'));
  EXPECT_LT(endless.Held(), 128u * 1024);
  // Cut at every byte, the box runs on into the launch and is told apart from it.
  for (std::size_t cut = 1; cut < box.size(); ++cut)
    EXPECT_EQ(Read(box.substr(0, cut) + launch, 1 << 30), "1:- 1:launch") << cut;
}

}  // namespace
}  // namespace pendulon
