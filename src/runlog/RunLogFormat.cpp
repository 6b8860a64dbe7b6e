#include "runlog/RunLogFormat.h"

#include <algorithm>

#include "runlog/RunLogWords.h"

namespace pendulon {
namespace {

struct EventFormat {
  LogEvent event;
  std::string_view name;
  std::size_t fields;
  unsigned numbers;  // a bit for each number field
};

// Logs written before clock-back told its outcome and reason hold only the two minutes; all such
// records were of minutes walked again. Older loads lack the first walk, older boxes their line.
void CompleteOlderForm(LogEntry& entry) {
  if (entry.event == LogEvent::kClockBack && entry.fields.size() == ClockBackField::kMinutes) {
    entry.fields.emplace_back(kWalkedAgain);
    entry.fields.emplace_back();
  }
  const bool lastMissing =
      (entry.event == LogEvent::kLoad && entry.fields.size() == LoadField::kFirstWalk) ||
      (entry.event == LogEvent::kLoadFailed &&
       entry.fields.size() == LoadFailedField::kFirstWalk) ||
      (entry.event == LogEvent::kBoxOpen && entry.fields.size() == BoxOpenField::kLine);
  if (lastMissing)
    entry.fields.emplace_back();
}

constexpr unsigned Bit(std::size_t field) {
  return 1u << field;
}

constexpr EventFormat kEvents[] = {
    {LogEvent::kStart, "start", StartField::kCount, Bit(StartField::kProcessId)},
    {LogEvent::kLoad, "load", LoadField::kCount,
     Bit(LoadField::kLines) | Bit(LoadField::kTaskLines)},
    {LogEvent::kLoadFailed, "load-failed", LoadFailedField::kCount, 0},
    {LogEvent::kLaunch, "launch", LaunchField::kCount,
     Bit(LaunchField::kLine) | Bit(LaunchField::kAnswer) | Bit(LaunchField::kMilliseconds)},
    {LogEvent::kNoLaunch, "no-launch", NoLaunchField::kCount, Bit(NoLaunchField::kLine)},
    {LogEvent::kBoxOpen, "box-open", BoxOpenField::kCount, 0},
    {LogEvent::kBoxClosed, "box-closed", BoxClosedField::kCount, 0},
    {LogEvent::kEnd, "end", EndField::kCount, Bit(EndField::kMilliseconds)},
    {LogEvent::kNotExamined, "not-examined", NotExaminedField::kCount,
     Bit(NotExaminedField::kLine)},
    {LogEvent::kNoWalk, "no-walk", NoWalkField::kCount, 0},
    {LogEvent::kLateWalk, "late-walk", LateWalkField::kCount, Bit(LateWalkField::kMilliseconds)},
    {LogEvent::kClockBack, "clock-back", ClockBackField::kCount, 0},
    {LogEvent::kLost, "lost", LostField::kCount, Bit(LostField::kRecords)},
    {LogEvent::kLogStopped, "log-stopped", LogStoppedField::kCount, 0},
    {LogEvent::kWaiting, "waiting", WaitingField::kCount, Bit(WaitingField::kLine)},
};

const EventFormat& FormatOf(LogEvent event) {
  return kEvents[static_cast<std::size_t>(event)];
}

const EventFormat* Named(std::string_view name) {
  for (const EventFormat& e : kEvents) {
    if (e.name == name)
      return &e;
  }
  return nullptr;
}

void AppendEscaped(char c, AnsiString& out) {
  switch (c) {
    case '\t':
      out += "\\t";
      break;
    case '\r':
      out += "\\r";
      break;
    case '\n':
      out += "\\n";
      break;
    case '\\':
      out += "\\\\";
      break;
    case '\0':
      out += "\\x00";
      break;
    default:
      out += c;
  }
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9')
    return c - '0';
  if (c >= 'A' && c <= 'F')
    return c - 'A' + 10;
  if (c >= 'a' && c <= 'f')
    return c - 'a' + 10;
  return -1;
}

}  // namespace

const char* EventName(LogEvent event) {
  return FormatOf(event).name.data();
}

std::size_t FieldCount(LogEvent event) {
  return FormatOf(event).fields;
}

bool IsNumberField(LogEvent event, std::size_t field) {
  return field < FieldCount(event) && (FormatOf(event).numbers & Bit(field)) != 0;
}

AnsiString EscapeField(std::string_view value, bool followed) {
  AnsiString out;
  for (const char c : value) {
    AppendEscaped(c, out);
    if (out.size() > kMostFieldBytes)
      break;
  }
  // A field that ends like a stamp, followed by a tab and a field that names an event, would
  // read as the start of a line run on from one cut short: keep its last digit from looking so.
  if (followed && out.size() >= kTimeStampLength &&
      LooksLikeTimeStamp(std::string_view(out).substr(out.size() - kTimeStampLength))) {
    const char last = out.back();
    out.pop_back();
    out += "\\x3";
    out += last;
  }
  if (out.size() <= kMostFieldBytes)
    return out;
  out.clear();
  AnsiString one;
  for (const char c : value) {
    one.clear();
    AppendEscaped(c, one);
    if (out.size() + one.size() > kMostFieldBytes - kCutMark.size())
      break;
    out += one;
  }
  out += kCutMark;
  return out;
}

bool UnescapeField(std::string_view field, std::string& value) {
  value.clear();
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] != '\\') {
      value += field[i];
      continue;
    }
    if (field.substr(i) == kCutMark) {
      value += kCutText;
      return true;
    }
    if (++i == field.size())
      return false;
    switch (field[i]) {
      case 't':
        value += '\t';
        break;
      case 'r':
        value += '\r';
        break;
      case 'n':
        value += '\n';
        break;
      case '\\':
        value += '\\';
        break;
      case 'x': {
        const int high = i + 2 < field.size() ? HexDigit(field[i + 1]) : -1;
        const int low = high >= 0 ? HexDigit(field[i + 2]) : -1;
        if (low < 0)
          return false;
        value += static_cast<char>(high * 16 + low);
        i += 2;
        break;
      }
      default:
        return false;
    }
  }
  return true;
}

AnsiString LogLine(const LogEntry& entry) {
  AnsiString line = entry.stamp;
  line += '\t';
  line += EventName(entry.event);
  for (std::size_t i = 0; i < entry.fields.size(); ++i) {
    line += '\t';
    line += EscapeField(entry.fields[i], i + 1 < entry.fields.size());
  }
  line += "\r\n";
  return line;
}

std::optional<LogEntry> ParseLogLine(std::string_view line) {
  if (line.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos)
    return std::nullopt;
  const std::size_t first = line.find('\t');
  if (first == std::string_view::npos || !ParseTimeStamp(line.substr(0, first)))
    return std::nullopt;
  const std::size_t second = line.find('\t', first + 1);
  const EventFormat* format = Named(line.substr(first + 1, second - (first + 1)));
  if (format == nullptr || second == std::string_view::npos)
    return std::nullopt;
  LogEntry entry;
  entry.stamp = line.substr(0, first);
  entry.event = format->event;
  for (std::size_t start = second + 1;;) {
    if (entry.fields.size() == format->fields)
      return std::nullopt;
    const std::size_t tab = line.find('\t', start);
    std::string& value = entry.fields.emplace_back();
    if (!UnescapeField(line.substr(start, tab - start), value))
      return std::nullopt;
    std::int64_t number = 0;
    if (IsNumberField(entry.event, entry.fields.size() - 1) && !ParseLogNumber(value, number))
      return std::nullopt;
    if (tab == std::string_view::npos)
      break;
    start = tab + 1;
  }
  CompleteOlderForm(entry);
  if (entry.fields.size() != format->fields)
    return std::nullopt;
  return entry;
}

bool ParseLogNumber(std::string_view text, std::int64_t& value) {
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

std::size_t FindLineStart(std::string_view text, std::size_t from) {
  for (std::size_t tab = text.find('\t', from + kTimeStampLength); tab != std::string_view::npos;
       tab = text.find('\t', tab + 1)) {
    const std::size_t start = tab - kTimeStampLength;
    if (!LooksLikeTimeStamp(text.substr(start, kTimeStampLength)))
      continue;
    const std::size_t end = text.find('\t', tab + 1);
    if (end != std::string_view::npos && Named(text.substr(tab + 1, end - tab - 1)) != nullptr)
      return start;
  }
  return std::string_view::npos;
}

const char* ShellAnswerMeaning(std::intptr_t answer) {
  if (!ShellAnswerFailed(answer))
    return "ok";
  switch (answer) {
    case 0:
      return "out of memory or resources";
    case 2:
      return "file not found";
    case 3:
      return "path not found";
    case 5:
      return "access denied";
    case 8:
      return "out of memory";
    case 11:
      return "bad format";
    case 26:
      return "sharing violation";
    case 27:
      return "incomplete association";
    case 28:
      return "DDE timeout";
    case 29:
      return "DDE failed";
    case 30:
      return "DDE busy";
    case 31:
      return "no association";
    case 32:
      return "DLL not found";
    default:
      return "error";
  }
}

}  // namespace pendulon
