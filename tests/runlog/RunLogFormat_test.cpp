// The run log's one format, as the executer writes it and qefcheck reads it back.

#include "runlog/RunLogFormat.h"

#include <gtest/gtest.h>

#include <string>

namespace pendulon {
namespace {

constexpr std::size_t k4KiB = 4 * 1024;

TEST(RunLogFormat, FieldsAreEscapedCutAt4KiBAndNeverLookLikeALineStart) {
  struct Case {
    std::string value, escaped;
    bool followed = false;  // by another field
  } const cases[] = {
      {"plain C:\\x", "plain C:\\\\x"},
      {"a\tb", "a\\tb"},
      {"a\r\nb", "a\\r\\nb"},
      {"\xE4\x81\x5C", "\xE4\x81\x5C\x5C"},  // bytes kept as they are, the backslash doubled
      {"", ""},
      {std::string("a\0b", 3), "a\\x00b"},
      // The end of a value that has the shape of a stamp, as a line start after a cut would.
      {"at 2026-12-09T08:30:00.214+01:00", "at 2026-12-09T08:30:00.214+01:0\\x30", true},
      {"at 2026-12-09T08:30:00.214+01:00", "at 2026-12-09T08:30:00.214+01:00"},
      {"2026-12-09T08:30:00.214+01:00 ", "2026-12-09T08:30:00.214+01:00 ", true},
      {std::string(k4KiB, 'a'), std::string(k4KiB, 'a')},
      {std::string(k4KiB + 1, 'a'), std::string(k4KiB - 4, 'a') + "\\..."},
      {std::string(k4KiB / 2, '\\'), std::string(k4KiB, '\\')},
      {std::string(k4KiB / 2 + 1, '\\'), std::string(k4KiB - 4, '\\') + "\\..."},
      {std::string(k4KiB - 1, 'a') + "\t", std::string(k4KiB - 4, 'a') + "\\..."},
      {std::string(k4KiB - 29, 'a') + "2026-12-09T08:30:00.214+01:00",
       std::string(k4KiB - 29, 'a') + "2026-12-09T08:30:00.214+0\\...", true},
  };
  for (const Case& c : cases) EXPECT_EQ(EscapeField(c.value, c.followed), c.escaped) << c.value;
  EXPECT_EQ(LogLine({"T", LogEvent::kBoxClosed, {"x\ty", ""}}), "T\tbox-closed\tx\\ty\t\r\n");
}

TEST(RunLogFormat, TheTimeStampCarriesTheUtcOffsetAndReadsBackOnlyForTimesThatExist) {
  SystemTime t;
  t.year = 2026, t.month = 12, t.day = 9, t.hour = 8, t.minute = 30, t.second = 0;
  t.milliseconds = 214;
  struct Case {
    int offset;
    const char* text;
  } const cases[] = {
      {60, "2026-12-09T08:30:00.214+01:00"},
      {0, "2026-12-09T08:30:00.214+00:00"},
      {-330, "2026-12-09T08:30:00.214-05:30"},
      {345, "2026-12-09T08:30:00.214+05:45"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TimeStamp(t, c.offset), c.text);
    const std::optional<ReadStamp> read = ParseTimeStamp(c.text);
    ASSERT_TRUE(read) << c.text;
    EXPECT_EQ(TimeStamp(read->local, read->utcOffsetMinutes), c.text);
  }
  EXPECT_EQ(MinuteText(t), "2026-12-09T08:30");
  EXPECT_EQ(MinuteText(*ParseMinuteText("2028-02-29T23:59")), "2028-02-29T23:59");
  for (const char* never : {"2026-02-29T08:30:00.214+01:00", "2026-13-09T08:30:00.214+01:00",
                            "2026-12-00T08:30:00.214+01:00", "2026-12-09T24:30:00.214+01:00",
                            "2026-12-09T08:60:00.214+01:00", "2026-12-09T08:30:60.214+01:00",
                            "2026-12-09T08:30:00.214+24:00", "2026-12-09 08:30:00.214+01:00",
                            "2026-12-09T08:30:00.214", ""})
    EXPECT_FALSE(ParseTimeStamp(never)) << never;
  EXPECT_FALSE(ParseMinuteText("2100-02-29T08:30"));
}

TEST(RunLogFormat, ShellAnswersInWords) {
  struct Case {
    std::intptr_t answer;
    const char* meaning;
  } const cases[] = {{33, "ok"},
                     {42, "ok"},
                     {2, "file not found"},
                     {3, "path not found"},
                     {5, "access denied"},
                     {31, "no association"},
                     {32, "DLL not found"},
                     {0, "out of memory or resources"},
                     {17, "error"}};
  for (const Case& c : cases) EXPECT_STREQ(ShellAnswerMeaning(c.answer), c.meaning) << c.answer;
}

// Every event, its fields filled in turn with awkward values, reads back as written, a value
// past 4 KiB as its first bytes and "..."; a line with a field more or less, or a word where a
// number belongs, does not read at all.
TEST(RunLogFormat, EveryEventReadsBackWithItsFieldsAndOnlyWithThem) {
  const std::string stamp = "2026-12-09T08:30:00.214+01:00";
  const std::string values[] = {
      "C:\\Apps\\a b.exe",           "x\ty\r\nz\\", std::string("\0nul", 4), stamp, "launch", "",
      std::string(2 * k4KiB, '\xE9')};
  const std::string cut = std::string(k4KiB - 4, '\xE9') + "...";
  std::size_t turn = 0;
  for (const LogEvent event : kLogEvents) {
    SCOPED_TRACE(EventName(event));
    LogEntry written{stamp, event, {}}, expected{stamp, event, {}};
    for (std::size_t f = 0; f < FieldCount(event); ++f) {
      const std::string& value = values[turn++ % std::size(values)];
      written.fields.push_back(IsNumberField(event, f) ? "-42" : value);
      expected.fields.push_back(written.fields.back().size() > k4KiB ? cut : written.fields.back());
    }
    const AnsiString line = LogLine(written);
    ASSERT_EQ(line.substr(line.size() - 2), "\r\n");
    const std::string_view body(line.data(), line.size() - 2);
    EXPECT_EQ(ParseLogLine(body), expected);
    EXPECT_EQ(FindLineStart(body, 1), std::string_view::npos);

    const std::size_t lastTab = body.rfind('\t');
    const std::string_view name = EventName(event);
    // A field fewer is an older form for the events that grew one: it reads with that field empty.
    const bool grew =
        event == LogEvent::kLoad || event == LogEvent::kLoadFailed || event == LogEvent::kBoxOpen;
    if (grew) {
      LogEntry older = expected;
      older.fields.back().clear();
      EXPECT_EQ(ParseLogLine(body.substr(0, lastTab)), older);
    }
    const std::string wrong[] = {
        std::string(body.substr(0, grew ? body.rfind('\t', lastTab - 1) : lastTab)),  // fewer
        std::string(body) + "\tlater",  // a field more
        stamp + "\tlaunched" + std::string(body.substr(stamp.size() + 1 + name.size())),
        std::string(body) + "\\q",                                              // no such escape
        "2026-02-29" + std::string(body.substr(10)),                            // no such day
        std::string(body.substr(0, 33)) + "\r" + std::string(body.substr(33)),  // a bare CR
    };
    for (const std::string& bad : wrong) EXPECT_FALSE(ParseLogLine(bad)) << bad;
    for (std::size_t f = 0; f < FieldCount(event); ++f) {
      if (!IsNumberField(event, f))
        continue;
      LogEntry word = written;
      word.fields[f] = "4x2";
      const AnsiString wordLine = LogLine(word);
      EXPECT_FALSE(ParseLogLine(std::string_view(wordLine).substr(0, wordLine.size() - 2)));
    }
  }
}

// Logs of earlier versions told a clock set back with its two minutes alone, always walked again;
// a load without the first minute walked, a box without its line.
TEST(RunLogFormat, OlderFormsReadWithWhatTheyLacked) {
  const struct {
    std::string line;
    std::vector<std::string> fields;
  } cases[] = {
      {"clock-back\t2026-12-09T08:29\t2026-12-09T07:10",
       {"2026-12-09T08:29", "2026-12-09T07:10", "walked again", ""}},
      {"load\tfirst\tC:\\\\tasks.qef\t3\t2", {"first", "C:\\tasks.qef", "3", "2", ""}},
      {"load-failed\tfirst\tC:\\\\tasks.qef\tgone", {"first", "C:\\tasks.qef", "gone", ""}},
      {"box-open\tList index out of bounds (5).", {"List index out of bounds (5).", ""}},
  };
  for (const auto& c : cases) {
    const std::optional<LogEntry> entry = ParseLogLine("2026-12-09T08:30:00.214+01:00\t" + c.line);
    ASSERT_TRUE(entry) << c.line;
    EXPECT_EQ(entry->fields, c.fields) << c.line;
  }
}

}  // namespace
}  // namespace pendulon
