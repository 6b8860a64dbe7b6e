#pragma once
// The log format both helpers share: one line per event, "HH:MM:SS.mmm" and the event's fields,
// separated by tabs. A field's backslash, tab, CR and LF are written as \\, \t, \r and \n, so
// every event stays on one line and splits back into the exact texts.

#include <string>
#include <string_view>
#include <vector>

namespace tools {

// Returns the text with its backslashes, tabs, CRs and LFs escaped.
std::string Escape(std::string_view text);

// Returns the local time as "HH:MM:SS.mmm".
std::string ClockStamp();

// Appends one line (stamp, then the escaped fields) to the file, creating it if needed.
// Several processes may append at once; each line is a single write. Returns true on success.
bool AppendLine(const std::string& path, const std::vector<std::string>& fields);

// Returns the folder of this program's exe, without a trailing backslash.
std::string ExeFolder();

}  // namespace tools
