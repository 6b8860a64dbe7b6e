// Fuzzes the run log's one format: every event the executer can write, with any field values
// and any clock reading, reads back with the same fields (a value past 4 KiB as its first bytes
// and "..."), and a line cut short at any byte never joins the line after it. The input gives
// two events, their clock readings and field values, where the first line is cut, the line ends
// and the size of the pieces the reader is fed.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "runlog/RunLogFormat.h"
#include "runlog/RunLogLines.h"

namespace pendulon::fuzz {
namespace {

constexpr std::size_t k4KiB = 4 * 1024;

// Takes bytes from the front of the input; zeros once it is used up.
class Input {
 public:
  explicit Input(std::string_view bytes) : bytes_(bytes) {}
  std::uint64_t Number(int size) {
    std::uint64_t value = 0;
    for (int i = 0; i < size; ++i) {
      value = value << 8 | (bytes_.empty() ? 0u : static_cast<unsigned char>(bytes_[0]));
      if (!bytes_.empty())
        bytes_.remove_prefix(1);
    }
    return value;
  }
  std::string Text() {
    const std::size_t length = Number(2) % 1024;
    const std::size_t repeat = 1 + Number(1) % 8;  // values past 4 KiB from a short input
    const std::string_view part = bytes_.substr(0, length);
    bytes_.remove_prefix(part.size());
    std::string text;
    for (std::size_t i = 0; i < repeat; ++i) text += part;
    return text;
  }

 private:
  std::string_view bytes_;
};

bool Leap(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

// A reading the clock can give: a date that exists, an offset under 24 hours.
SystemTime ClockReading(Input& in, std::int32_t& offset) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  SystemTime t;
  t.year = static_cast<std::uint16_t>(in.Number(2) % 10000);
  t.month = static_cast<std::uint16_t>(1 + in.Number(1) % 12);
  const int days = kDays[t.month - 1] + (t.month == 2 && Leap(t.year) ? 1 : 0);
  t.day = static_cast<std::uint16_t>(1 + in.Number(1) % days);
  t.hour = static_cast<std::uint16_t>(in.Number(1) % 24);
  t.minute = static_cast<std::uint16_t>(in.Number(1) % 60);
  t.second = static_cast<std::uint16_t>(in.Number(1) % 60);
  t.milliseconds = static_cast<std::uint16_t>(in.Number(2) % 1000);
  offset = static_cast<std::int32_t>(in.Number(2) % (2 * 1440 - 1)) - 1439;
  return t;
}

LogEntry Event(Input& in) {
  LogEntry entry;
  entry.event = kLogEvents[in.Number(1) % std::size(kLogEvents)];
  std::int32_t offset = 0;
  const SystemTime t = ClockReading(in, offset);
  entry.stamp = TimeStamp(t, offset);
  const std::optional<ReadStamp> read = ParseTimeStamp(entry.stamp);
  FUZZ_REQUIRE(read && read->utcOffsetMinutes == offset);
  FUZZ_REQUIRE(read->local.year == t.year && read->local.month == t.month &&
               read->local.day == t.day && read->local.hour == t.hour &&
               read->local.minute == t.minute && read->local.second == t.second &&
               read->local.milliseconds == t.milliseconds);
  for (std::size_t f = 0; f < FieldCount(entry.event); ++f) {
    if (IsNumberField(entry.event, f)) {
      const auto number = static_cast<std::int64_t>(in.Number(8) % 100000000000000000ull);
      entry.fields.push_back(std::to_string(in.Number(1) % 2 ? -number : number));
    } else {
      entry.fields.push_back(in.Text());
    }
  }
  return entry;
}

std::size_t EscapedSize(char c) {
  return c == '\0' ? 4 : c == '\t' || c == '\r' || c == '\n' || c == '\\' ? 2 : 1;
}

// The line writes every field in at most 4 KiB and reads back as written, a field cut short as
// the longest beginning of its value that fits with the cut mark, followed by "...".
LogEntry CheckRoundTrip(const LogEntry& written, const std::string& line) {
  FUZZ_REQUIRE(line.size() >= 2 && line.substr(line.size() - 2) == "\r\n");
  const std::string_view body = std::string_view(line).substr(0, line.size() - 2);
  FUZZ_REQUIRE(body.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos);
  FUZZ_REQUIRE(body.size() <= kMostLineBytes);
  FUZZ_REQUIRE(FindLineStart(body, 1) == std::string_view::npos);
  std::vector<std::string_view> parts;
  for (std::size_t at = 0;;) {
    const std::size_t tab = body.find('\t', at);
    parts.push_back(body.substr(at, tab - at));
    if (tab == std::string_view::npos)
      break;
    at = tab + 1;
  }
  FUZZ_REQUIRE(parts.size() == 2 + written.fields.size());
  const std::optional<LogEntry> read = ParseLogLine(body);
  FUZZ_REQUIRE(read && read->stamp == written.stamp && read->event == written.event);
  for (std::size_t f = 0; f < written.fields.size(); ++f) {
    const std::string& value = written.fields[f];
    const std::string& back = read->fields[f];
    const std::string_view field = parts[2 + f];
    FUZZ_REQUIRE(field.size() <= k4KiB);
    if (back == value)
      continue;
    FUZZ_REQUIRE(IsSuffix("...", back) && IsSuffix("\\...", field));
    const std::string_view kept = std::string_view(back).substr(0, back.size() - 3);
    FUZZ_REQUIRE(kept.size() < value.size() && IsPrefix(kept, value));
    std::size_t size = 0;
    for (const char c : kept) size += EscapedSize(c);
    FUZZ_REQUIRE(size + 4 <= k4KiB && size + 4 + EscapedSize(value[kept.size()]) > k4KiB);
  }
  return *read;
}

}  // namespace
}  // namespace pendulon::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pendulon;
  using namespace pendulon::fuzz;
  Input in(std::string_view(reinterpret_cast<const char*>(data), size));
  const std::uint64_t cutAt = in.Number(2);
  const bool lfOnly = in.Number(1) % 2 == 1;
  const std::size_t piece = 1 + in.Number(2);
  const LogEntry first = Event(in), second = Event(in);
  std::string one = LogLine(first), two = LogLine(second);
  const LogEntry firstRead = CheckRoundTrip(first, one);
  const LogEntry secondRead = CheckRoundTrip(second, two);
  if (lfOnly) {
    one.erase(one.size() - 2, 1);
    two.erase(two.size() - 2, 1);
  }

  // The first line cut at any byte (or whole), then the second, then the first again whole.
  const std::size_t cut = cutAt % (one.size() + 1);
  const std::string text = one.substr(0, cut) + two + one;
  std::vector<std::pair<std::int64_t, std::optional<LogEntry>>> taken;
  RunLogLines lines([&](std::int64_t number, std::optional<LogEntry> entry) {
    taken.emplace_back(number, std::move(entry));
  });
  for (std::size_t at = 0; at < text.size(); at += piece)
    lines.Add(std::string_view(text).substr(at, piece));
  lines.Finish();
  FUZZ_REQUIRE(lines.Held() == 0);
  std::vector<std::pair<std::int64_t, std::optional<LogEntry>>> expected;
  if (cut == one.size()) {
    expected = {{1, firstRead}, {2, secondRead}, {3, firstRead}};
  } else if (cut == 0) {
    expected = {{1, secondRead}, {2, firstRead}};
  } else {
    expected = {{1, std::nullopt}, {1, secondRead}, {2, firstRead}};
  }
  FUZZ_REQUIRE(taken == expected);
  return 0;
}
