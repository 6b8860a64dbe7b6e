#include "checker/RunLogReader.h"

#include <algorithm>

#include "platform/Files.h"

namespace pendulon {
namespace {

// 2026-12-09T08:30:00.214+01:00: digits where the pattern has 9, the rest exactly.
bool IsTimeStamp(std::string_view text) {
  constexpr std::string_view kPattern = "9999-99-99T99:99:99.999+99:99";
  if (text.size() != kPattern.size())
    return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char want = kPattern[i];
    const bool ok = want == '9'   ? text[i] >= '0' && text[i] <= '9'
                    : want == '+' ? text[i] == '+' || text[i] == '-'
                                  : text[i] == want;
    if (!ok)
      return false;
  }
  return true;
}

// Undoes the writer's escapes; false for a backslash that starts none of them.
bool Unescape(std::string_view field, std::string& out) {
  out.clear();
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] != '\\') {
      out += field[i];
      continue;
    }
    if (++i == field.size())
      return false;
    switch (field[i]) {
      case 't':
        out += '\t';
        break;
      case 'r':
        out += '\r';
        break;
      case 'n':
        out += '\n';
        break;
      case '\\':
        out += '\\';
        break;
      default:
        return false;
    }
  }
  return true;
}

// A decimal number with an optional minus sign, short enough that it cannot overflow.
bool ParseNumber(std::string_view text, std::int64_t& value) {
  const bool negative = !text.empty() && text[0] == '-';
  if (negative)
    text.remove_prefix(1);
  if (text.empty() || text.size() > 18)
    return false;
  value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9')
      return false;
    value = value * 10 + (c - '0');
  }
  if (negative)
    value = -value;
  return true;
}

struct KindName {
  const char* name;
  RunLogRecord::Kind kind;
  std::size_t fields;  // after the stamp and the name; a later version may add more at the end
};
constexpr KindName kKinds[] = {{"launch", RunLogRecord::Kind::kLaunch, 10},
                               {"no-launch", RunLogRecord::Kind::kNoLaunch, 4},
                               {"box-open", RunLogRecord::Kind::kBox, 1},
                               {"load-failed", RunLogRecord::Kind::kLoadFailed, 3}};

constexpr std::uint64_t kMostBytes = 16 * 1024 * 1024;

}  // namespace

const char* RunLogEventName(RunLogRecord::Kind kind) {
  for (const KindName& k : kKinds) {
    if (k.kind == kind)
      return k.name;
  }
  return "other";
}

std::optional<RunLogRecord> ParseRunLogLine(std::string_view line) {
  std::vector<std::string> fields;
  std::string value;
  for (std::size_t start = 0;;) {
    const std::size_t tab = line.find('\t', start);
    if (!Unescape(line.substr(start, tab - start), value))
      return std::nullopt;
    fields.push_back(value);
    if (tab == std::string_view::npos)
      break;
    start = tab + 1;
  }
  using Kind = RunLogRecord::Kind;
  if (fields.size() < 2 || !IsTimeStamp(fields[0]))
    return std::nullopt;
  const auto known = std::find_if(std::begin(kKinds), std::end(kKinds),
                                  [&](const auto& k) { return fields[1] == k.name; });
  RunLogRecord r;
  r.time = fields[0];
  if (known == std::end(kKinds)) {
    r.kind = Kind::kOther;
    return r;
  }
  if (fields.size() < 2 + known->fields)
    return std::nullopt;
  r.kind = known->kind;
  const auto at = [&](std::size_t i) -> std::string& { return fields[2 + i]; };
  std::int64_t number = 0;
  switch (r.kind) {
    case Kind::kLaunch:
    case Kind::kNoLaunch:
      if (!ParseNumber(at(1), number) || number < 1 || number > 0x7FFFFFFF)
        return std::nullopt;
      r.minute = at(0);
      r.line = static_cast<int>(number);
      r.item = at(2);
      if (r.kind == Kind::kNoLaunch) {
        r.text = at(3);
        break;
      }
      if (!ParseNumber(at(7), r.answer))
        return std::nullopt;
      r.file = at(4);
      r.meaning = at(8);
      break;
    case Kind::kBox:
      r.text = at(0);
      break;
    case Kind::kLoadFailed:
      r.loadKind = at(0);
      r.path = at(1);
      r.text = at(2);
      break;
    case Kind::kOther:
      break;
  }
  return r;
}

void ReadRunLogText(std::string_view text, RunLogSummary& summary) {
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = text.find("\r\n", start);
    // Without its CR LF the last line was cut short, or is still being written.
    if (end == std::string_view::npos) {
      ++summary.skipped;
      break;
    }
    const std::string_view line = text.substr(start, end - start);
    start = end + 2;
    std::optional<RunLogRecord> record;
    if (line.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos)
      record = ParseRunLogLine(line);
    if (!record) {
      ++summary.skipped;
      continue;
    }
    ++summary.records;
    if (record->kind == RunLogRecord::Kind::kLaunch ||
        record->kind == RunLogRecord::Kind::kNoLaunch)
      summary.lastByLine[record->line] = *record;
    if (record->Failed())
      summary.failures.push_back(std::move(*record));
  }
}

void FinishRunLog(RunLogSummary& summary, std::size_t mostFailures) {
  std::vector<RunLogRecord>& failures = summary.failures;
  if (failures.size() > mostFailures)
    failures.erase(failures.begin(), failures.end() - static_cast<std::ptrdiff_t>(mostFailures));
  std::reverse(failures.begin(), failures.end());
}

std::optional<RunLogSummary> ReadRunLog(FileSystem& files, const AnsiString& logPath) {
  RunLogSummary summary;
  for (const AnsiString& path : {logPath + ".1", logPath}) {
    const FoundFile found = files.FindFile(path);
    if (!found.found || found.directory)
      continue;
    summary.files.push_back(path);
    // The executer may hold the log open to append: share writing as it does.
    const FileHandle file =
        files.OpenFile(path, kGenericRead, kShareRead | kShareWrite, kOpenExisting);
    const FileCloser closer(files, file);
    std::string text;
    bool read = file != kInvalidFile;
    // A log whose roll-over keeps failing grows without end: read only its tail, from the
    // first whole line in it.
    const bool tail = read && found.size > kMostBytes;
    if (tail)
      read = files.Seek(file, -static_cast<std::int64_t>(kMostBytes), kSeekEnd) >= 0;
    for (char buffer[65536]; read;) {
      std::uint32_t got = 0;
      read = files.Read(file, buffer, sizeof buffer, got);
      if (read && got == 0)
        break;
      text.append(buffer, got);
    }
    if (read && tail) {
      const std::size_t first = text.find("\r\n");
      text.erase(0, first == std::string::npos ? text.size() : first + 2);
      ++summary.skipped;
    }
    if (read)
      ReadRunLogText(text, summary);
    else if (summary.error.empty())
      summary.error = "Cannot read " + path;
  }
  if (summary.files.empty())
    return std::nullopt;
  FinishRunLog(summary);
  return summary;
}

}  // namespace pendulon
