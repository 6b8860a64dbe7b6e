#pragma once
// What the run log's writer and its readers agree on beyond the format of a line: the words a
// start, a load, an end and a clock gone back can give, how far the log grows, and how its file
// is shared. Both sides spell them here alone.

#include <cstdint>

#include "platform/FileReader.h"

namespace pendulon {

// start: whether the family's argument was there.
inline constexpr const char* kStartAccepted = "accepted";
inline constexpr const char* kStartRefused = "refused";
inline constexpr const char* kStartOutcomes[] = {kStartAccepted, kStartRefused};

// load, load-failed: the load at start-up, after a change, or a quiet retry after a failed load.
inline constexpr const char* kLoadFirst = "first";
inline constexpr const char* kLoadReload = "reload";
inline constexpr const char* kLoadRetry = "retry";
inline constexpr const char* kLoadKinds[] = {kLoadFirst, kLoadReload, kLoadRetry};

// end: the family's windows were gone, a close request came, the Windows session ended, or the
// copy stopped at once (a refused start, a second copy).
inline constexpr const char* kEndFamilyGone = "family gone";
inline constexpr const char* kEndCloseRequest = "close request";
inline constexpr const char* kEndSessionEnd = "session end";
inline constexpr const char* kEndStop = "stop";
inline constexpr const char* kEndReasons[] = {kEndFamilyGone, kEndCloseRequest, kEndSessionEnd,
                                              kEndStop};

// clock-back: whether the minutes the clock shows again are walked again.
inline constexpr const char* kWalkedAgain = "walked again";
inline constexpr const char* kNotWalkedAgain = "not walked again";
inline constexpr const char* kClockBackMinutes[] = {kWalkedAgain, kNotWalkedAgain};

// The log rolls over to pendulon.log.1 once it has grown past 1 MiB; one that cannot roll over
// stops growing at 4 MiB.
inline constexpr std::uint64_t kRunLogRollOver = 1024 * 1024;
inline constexpr std::uint64_t kRunLogMost = 4 * kRunLogRollOver;

// Everyone shares the log in every way: another executer may append to it or roll it over, and
// a reader must never keep the executer from doing so.
inline constexpr std::uint32_t kRunLogShare = kShareRead | kShareWrite | kShareDelete;

}  // namespace pendulon
