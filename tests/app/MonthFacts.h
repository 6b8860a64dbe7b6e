#pragma once
// What the simulated world knows of the month, as the checker asks it: the minute the clock
// showed at a moment, how the clock and its zone moved between two moments, whether the machine
// slept, a launch held the thread or a timer was refused meanwhile, and what the launch file said
// of an item. Each answer comes from the world's records, never from the program.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "support/SimWorld.h"

namespace pendulon::sim {

// Two moments of the month, both as UTC and as the monotonic count.
struct Span {
  std::int64_t fromAt = 0, fromElapsed = 0;
  std::int64_t toAt = 0, toElapsed = 0;
  const TickRecord* tick = nullptr;  // the tick that ends it, if one does
};

// What the shell is asked for an item, as the launch file says.
struct Request {
  std::string verb, file, parameters, directory;
};

// The launch file's answer for an item: a request, or why there is none, as a part of the words
// the run log must give.
struct LaunchAnswer {
  std::optional<Request> request;
  std::string why;
};

class MonthFacts {
 public:
  explicit MonthFacts(const SimWorld& world);

  // The local minute the clock showed, as minutes since 1970 on the local clock.
  std::int64_t Label(std::int64_t at, std::int64_t elapsed) const;
  std::int64_t OffsetMinutes(std::int64_t at, std::int64_t elapsed) const;
  // The milliseconds into its local minute.
  std::int64_t IntoMinute(std::int64_t at, std::int64_t elapsed) const;
  // Milliseconds the wall clock was stepped after from and up to to, summed (back below 0).
  std::int64_t Stepped(const Span& span) const;

  // Empty when every cause the reason names, separated by "; ", is one the world shows in the
  // span, and it names one at least; otherwise what is wrong. For a clock that went back, only
  // a set-back and a smaller offset are causes.
  std::string WrongCauses(const std::string& reason, const Span& span, bool back) const;

  // The launch file as it read at that moment, for that item.
  LaunchAnswer LaunchFileSays(std::int64_t elapsed, const std::string& item) const;

 private:
  bool Slept(const Span& span) const;
  bool Held(const Span& span) const;
  bool Refused(const Span& span) const;
  std::string CauseWrong(const std::string& cause, const Span& span, bool back) const;
  // The launch file's answer for the item, read by the rules of its format.
  static LaunchAnswer Read(const std::string& contents, const std::string& item);

  const SimWorld& world_;
  std::vector<const FileWrite*> launchFiles_;  // each version of the launch file, in order
  mutable std::map<std::pair<const FileWrite*, std::string>, LaunchAnswer> answers_;
  std::vector<std::pair<std::int64_t, std::int64_t>> stalls_;  // monotonic from, to
  std::vector<std::int64_t> refusals_;                         // monotonic, of the minute timer
};

// "2027-03-09T10:17" of a local minute counted as Label counts it.
std::string MinuteText(std::int64_t label);
// "+01:00", "-03:30".
std::string OffsetText(std::int64_t minutes);

}  // namespace pendulon::sim
