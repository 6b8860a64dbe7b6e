#pragma once
// The run log's lines: a local time stamp with its UTC offset, then tab-separated fields, each
// escaped so that a field never holds a tab or a line break, ended by CR LF.

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/AnsiString.h"
#include "platform/SystemClock.h"

namespace pendulon {

// Bytes as they are, except tab, CR, LF and backslash, written \t \r \n \\.
AnsiString EscapeField(std::string_view value);

// ISO 8601 to the millisecond with the offset: 2026-12-09T08:30:00.214+01:00.
AnsiString TimeStamp(const SystemTime& local, std::int32_t utcOffsetMinutes);

// The minute a tick serves, in local time: 2026-12-09T08:30.
AnsiString MinuteText(const SystemTime& local);

// What ShellExecuteA's result means: "ok" above 32, otherwise the SE_ERR_ reason in words.
const char* ShellAnswerMeaning(std::intptr_t answer);

// One whole line: the time stamp, then each field escaped, tab-separated, then CR LF.
AnsiString LogLine(const AnsiString& timeStamp, const std::vector<std::string_view>& fields);

}  // namespace pendulon
