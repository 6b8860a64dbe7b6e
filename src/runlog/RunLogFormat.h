#pragma once
// The run log's line format, written by the executer and read by qefcheck: the time stamp, the
// event's name, then the event's fields in their fixed order, tab-separated, ended by CR LF.
// Each field is escaped so that it never holds a tab, a line break or a NUL, and is cut at
// 4 KiB, so that one long value cannot make a line of any size.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/AnsiString.h"
#include "runlog/TimeStamp.h"

namespace pendulon {

enum class LogEvent {
  kStart,
  kLoad,
  kLoadFailed,
  kLaunch,
  kNoLaunch,
  kBoxOpen,
  kBoxClosed,
  kEnd,
  kNotExamined,
  kNoWalk,
  kLateWalk,
  kClockBack,
  kLost,
  kLogStopped,
  kWaiting
};

// The fields of each event, in the order they are written; kCount is how many there are.
struct StartField {
  enum : std::size_t { kVersion, kExecutable, kProcessId, kOutcome, kCount };
};
// kFirstWalk: the first local minute a start walks, its wait for second 00 over; the first load
// alone gives it, and a line of an older log without it reads as empty.
struct LoadField {
  enum : std::size_t { kKind, kPath, kLines, kTaskLines, kFirstWalk, kCount };
};
struct LoadFailedField {
  enum : std::size_t { kKind, kPath, kError, kFirstWalk, kCount };
};
struct LaunchField {
  enum : std::size_t {
    kMinute,
    kLine,
    kItem,
    kVerb,
    kFile,
    kParameters,
    kDirectory,
    kAnswer,
    kMeaning,
    kMilliseconds,
    kCount
  };
};
struct NoLaunchField {
  enum : std::size_t { kMinute, kLine, kItem, kReason, kCount };
};
// kLine: the task line whose walk raised the error, empty when no walk did (and in an older log).
struct BoxOpenField {
  enum : std::size_t { kText, kLine, kCount };
};
struct BoxClosedField {
  enum : std::size_t { kText, kOpenedAt, kCount };
};
struct EndField {
  enum : std::size_t { kReason, kMilliseconds, kCount };
};
// A launch still waiting in the shell when the next minute's walk began: it was made for
// kMinute at kSince (local "HH:MM:SS"), and its launch line comes once the shell returns.
struct WaitingField {
  enum : std::size_t { kMinute, kLine, kItem, kSince, kCount };
};
// A walk that ended before the lines from kLine on, which were due to be examined for its minute.
struct NotExaminedField {
  enum : std::size_t { kMinute, kLine, kReason, kCount };
};
// Minutes from kFirst to kLast (both local minutes) that no walk served.
struct NoWalkField {
  enum : std::size_t { kFirst, kLast, kReason, kCount };
};
// A walk that began kMilliseconds after its minute did, more than 2 s.
struct LateWalkField {
  enum : std::size_t { kMinute, kMilliseconds, kReason, kCount };
};
// The local clock went back from kFrom, the minute last walked, to kTo; kMinutes tells whether
// the minutes from kTo on are walked again (kWalkedAgain) or not (kNotWalkedAgain), and kReason
// how the clock went back (its words: RunLogWords.h). A line of an older log with the two minutes
// alone reads as walked again, with no reason.
struct ClockBackField {
  enum : std::size_t { kFrom, kTo, kMinutes, kReason, kCount };
};

// Records the writer could not write before this line, and why.
struct LostField {
  enum : std::size_t { kRecords, kReason, kCount };
};
// The log's last line until it can roll over again: why nothing more is appended.
struct LogStoppedField {
  enum : std::size_t { kReason, kCount };
};

// Every event, for tools that go through them all.
inline constexpr LogEvent kLogEvents[] = {
    LogEvent::kStart,       LogEvent::kLoad,       LogEvent::kLoadFailed, LogEvent::kLaunch,
    LogEvent::kNoLaunch,    LogEvent::kBoxOpen,    LogEvent::kBoxClosed,  LogEvent::kEnd,
    LogEvent::kNotExamined, LogEvent::kNoWalk,     LogEvent::kLateWalk,   LogEvent::kClockBack,
    LogEvent::kLost,        LogEvent::kLogStopped, LogEvent::kWaiting};

// The name the line gives the event: "start", "load", "load-failed", "launch", "no-launch",
// "box-open", "box-closed", "end", "not-examined", "no-walk", "late-walk", "clock-back", "lost",
// "log-stopped", "waiting".
const char* EventName(LogEvent event);
std::size_t FieldCount(LogEvent event);
// True for a field written as a decimal number: a process id, a count of lines, a task line,
// the shell's answer, milliseconds, a count of records.
bool IsNumberField(LogEvent event, std::size_t field);

// One line: its stamp, its event and the event's fields, unescaped.
struct LogEntry {
  std::string stamp;
  LogEvent event = LogEvent::kStart;
  std::vector<std::string> fields;

  friend bool operator==(const LogEntry&, const LogEntry&) = default;
};

// The most bytes a field takes in a line, escapes and the cut mark included.
constexpr std::size_t kMostFieldBytes = 4096;
// Ends a field that was cut; read back as "..." after what was kept.
constexpr std::string_view kCutMark = "\\...";
constexpr std::string_view kCutText = "...";
// The longest line the writer makes: the stamp, the longest event name, ten fields at their
// longest, and CR LF.
constexpr std::size_t kMostLineBytes = kTimeStampLength + 1 + 12 + 10 * (1 + kMostFieldBytes) + 2;

// The value as a field of a line: bytes as they are, except that tab, CR, LF and backslash are
// written \t \r \n \\ and NUL \x00. A field followed by another that would end in the shape of
// a time stamp has its last byte written as \xNN, so that no line ever holds what looks like the
// start of the next. A field longer than 4 KiB so written is cut there and ends in \...
AnsiString EscapeField(std::string_view value, bool followed = false);

// Undoes EscapeField; false for a backslash that starts no escape. A cut field reads as what
// was kept followed by "...".
bool UnescapeField(std::string_view field, std::string& value);

// The whole line: the stamp, the event's name and each field escaped, tab-separated, then CR LF.
AnsiString LogLine(const LogEntry& entry);

// One line without its line end; nothing for a line that is not one the writer makes: a stamp
// of a time that does not exist, an unknown event, a field count other than the event's, a bad
// escape, or a number field that is not a decimal number of at most 18 digits.
std::optional<LogEntry> ParseLogLine(std::string_view line);

// A decimal number with an optional minus sign, short enough that it cannot overflow.
bool ParseLogNumber(std::string_view text, std::int64_t& value);

// Where the first line start (a stamp, a tab, an event's name and a tab) at or after from lies
// in the text, or npos. Past the start of a line, one is found only when a line cut short runs
// on into the next.
std::size_t FindLineStart(std::string_view text, std::size_t from);

// True when ShellExecuteA's result says the shell did not take the request on: 32 or below.
constexpr bool ShellAnswerFailed(std::intptr_t answer) {
  return answer <= 32;
}

// What ShellExecuteA's result means: "ok" when it did not fail, otherwise the SE_ERR_ reason in
// words.
const char* ShellAnswerMeaning(std::intptr_t answer);

}  // namespace pendulon
