#include "checker/log/EventWords.h"

#include <cstdio>
#include <iterator>
#include <optional>
#include <vector>

#include "checker/log/ProcessHistory.h"
#include "checker/text/CalendarWords.h"
#include "checker/text/Printable.h"
#include "runlog/RunLogWords.h"
#include "runlog/TimeStamp.h"

namespace pendulon {
namespace {

using Fields = std::vector<std::string>;

// "47 min", "2 h 5 min", "35 s" of milliseconds as the log writes them.
std::string Duration(std::string_view milliseconds) {
  std::int64_t ms = 0;
  if (!ParseLogNumber(milliseconds, ms) || ms < 0)
    return Visible(milliseconds) + " ms";
  const std::int64_t seconds = ms / 1000, minutes = seconds / 60, hours = minutes / 60;
  if (hours > 0)
    return std::to_string(hours) + " h " + std::to_string(minutes % 60) + " min";
  if (minutes > 0)
    return std::to_string(minutes) + " min";
  return std::to_string(seconds) + " s";
}

std::string Start(const Fields& f) {
  const std::string which =
      "version " + Visible(f[StartField::kVersion]) + ", process " + f[StartField::kProcessId];
  if (f[StartField::kOutcome] == kStartRefused)
    return "Pendulon was started without the family's argument and refused to run (" + which + ")";
  return "Pendulon started (" + which + "): " + Visible(f[StartField::kExecutable]);
}

std::string Load(const Fields& f) {
  const std::string& kind = f[LoadField::kKind];
  return std::string(kind == kLoadReload  ? "reloaded the task file after a change"
                     : kind == kLoadRetry ? "read the task file on a quiet retry"
                                          : "loaded the task file") +
         " " + Visible(f[LoadField::kPath]) + ": " + f[LoadField::kLines] + " lines, " +
         f[LoadField::kTaskLines] + " of them task lines";
}

std::string LoadFailed(const Fields& f) {
  return "load failed (" + Visible(f[LoadFailedField::kKind]) + ") " +
         Visible(f[LoadFailedField::kPath]) + ": " + Visible(f[LoadFailedField::kError]);
}

std::string Launch(const Fields& f) {
  return "line " + f[LaunchField::kLine] + " " + Quoted(f[LaunchField::kItem]) +
         ": the shell answered " + f[LaunchField::kAnswer] + " (" +
         Visible(f[LaunchField::kMeaning]) + ") for " + Visible(f[LaunchField::kFile]);
}

std::string NoLaunch(const Fields& f) {
  return "line " + f[NoLaunchField::kLine] + " " + Quoted(f[NoLaunchField::kItem]) +
         ": launched nothing: " + Visible(f[NoLaunchField::kReason]);
}

std::string BoxOpen(const Fields& f) {
  const std::string& line = f[BoxOpenField::kLine];
  return "error box" + (line.empty() ? "" : " from the walk at line " + Visible(line)) + ": " +
         Visible(f[BoxOpenField::kText]);
}

std::string BoxClosed(const Fields& f) {
  return "error box closed (open since " + LogTime(f[BoxClosedField::kOpenedAt], true) +
         "): " + Visible(f[BoxClosedField::kText]);
}

std::string End(const Fields& f) {
  return "Pendulon ended: " + EndReasonWords(f[EndField::kReason]) + ", after " +
         Duration(f[EndField::kMilliseconds]);
}

std::string NotExamined(const Fields& f) {
  return "the walk of " + LogTime(f[NotExaminedField::kMinute]) +
         " ended before it examined the lines from line " + f[NotExaminedField::kLine] +
         " on: " + Visible(f[NotExaminedField::kReason]);
}

std::string NoWalk(const Fields& f) {
  const std::string& first = f[NoWalkField::kFirst];
  const std::string& last = f[NoWalkField::kLast];
  return "Pendulon did not walk " +
         (first == last ? "at " + LogTime(first)
                        : "from " + LogTime(first) + " to " + LogTime(last)) +
         ": " + Visible(f[NoWalkField::kReason]);
}

std::string LateWalk(const Fields& f) {
  return "the walk of " + LogTime(f[LateWalkField::kMinute]) + " began " +
         Duration(f[LateWalkField::kMilliseconds]) + " late: " + Visible(f[LateWalkField::kReason]);
}

std::string ClockBack(const Fields& f) {
  const std::string& reason = f[ClockBackField::kReason];
  const bool one = f[ClockBackField::kFrom] == f[ClockBackField::kTo];
  return "the clock went back from " + LogTime(f[ClockBackField::kFrom]) + " to " +
         LogTime(f[ClockBackField::kTo]) + (reason.empty() ? "" : " (" + Visible(reason) + ")") +
         (f[ClockBackField::kMinutes] == kNotWalkedAgain
              ? (one ? ": that minute is not walked again" : ": those minutes are not walked again")
              : ": those minutes are walked again");
}

std::string Lost(const Fields& f) {
  return f[LostField::kRecords] +
         " records lost before this one: " + Visible(f[LostField::kReason]);
}

std::string LogStopped(const Fields& f) {
  return "the run log stops growing: " + Visible(f[LogStoppedField::kReason]);
}

std::string Waiting(const Fields& f) {
  return "line " + f[WaitingField::kLine] + " " + Quoted(f[WaitingField::kItem]) +
         ": its launch for " + LogTime(f[WaitingField::kMinute]) + ", begun at " +
         Visible(f[WaitingField::kSince]) + ", still waits in the shell";
}

// In the order of LogEvent.
constexpr struct {
  LogEvent event;
  std::string (*say)(const Fields&);
} kWords[] = {
    {LogEvent::kStart, Start},
    {LogEvent::kLoad, Load},
    {LogEvent::kLoadFailed, LoadFailed},
    {LogEvent::kLaunch, Launch},
    {LogEvent::kNoLaunch, NoLaunch},
    {LogEvent::kBoxOpen, BoxOpen},
    {LogEvent::kBoxClosed, BoxClosed},
    {LogEvent::kEnd, End},
    {LogEvent::kNotExamined, NotExamined},
    {LogEvent::kNoWalk, NoWalk},
    {LogEvent::kLateWalk, LateWalk},
    {LogEvent::kClockBack, ClockBack},
    {LogEvent::kLost, Lost},
    {LogEvent::kLogStopped, LogStopped},
    {LogEvent::kWaiting, Waiting},
};
static_assert(std::size(kWords) == std::size(kLogEvents),
              "every event of the run log needs its sentence in kWords");

// "; the first minute it walks is 01:09", of a start's first load.
std::string FirstWalkWords(const LogEntry& entry) {
  const std::optional<LocalMinute> first = FirstWalkOf(entry);
  if (!first)
    return {};
  char clock[8];
  std::snprintf(clock, sizeof clock, "%02d:%02d", first->hour % 100, first->minute % 100);
  return std::string("; the first minute it walks is ") + clock;
}

}  // namespace

std::string EventWords(const LogEntry& entry) {
  for (const auto& words : kWords) {
    if (words.event == entry.event && entry.fields.size() == FieldCount(entry.event))
      return words.say(entry.fields) + FirstWalkWords(entry);
  }
  return EventName(entry.event);
}

std::string EndReasonWords(std::string_view reason) {
  static const struct {
    std::string_view reason, words;
  } kReasons[] = {
      {kEndFamilyGone, "the family's windows were gone"},
      {kEndCloseRequest, "it was asked to close"},
      {kEndSessionEnd, "Windows was shutting down, or the user signed out"},
      {kEndStop, "it stopped at once (a second copy, or a refused start)"},
  };
  for (const auto& r : kReasons) {
    if (r.reason == reason)
      return std::string(r.words);
  }
  return Visible(reason);
}

std::string LogTime(std::string_view text, bool seconds) {
  if (const std::optional<ReadStamp> stamp = ParseTimeStamp(text)) {
    std::string time = ReadableText(MinuteOf(stamp->local));
    if (seconds) {
      char tail[8];
      std::snprintf(tail, sizeof tail, ":%02d", stamp->local.second % 100);
      time += tail;
    }
    return time;
  }
  if (const std::optional<SystemTime> minute = ParseMinuteText(text))
    return ReadableText(MinuteOf(*minute));
  return Visible(text);
}

}  // namespace pendulon
