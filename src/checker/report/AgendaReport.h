#pragma once
// qefcheck --next: every minute of a span ahead in which a task line acts, with what the shell
// will open. For people, lines that fire every minute of some hours are named once at the top
// instead of in each of their minutes; the JSON keeps every entry.

#include <ostream>

#include "checker/folder/FolderCheck.h"

namespace pendulon {

// The span, in minutes: at most 31 days.
inline constexpr int kMostSpanMinutes = 31 * 24 * 60;

// spanWords: how the span was asked for, "24 hours" or "7 days".
void WriteAgendaText(std::ostream& out, const FolderCheck& check, int minutes,
                     const std::string& spanWords, TimeZone& zone);
void WriteAgendaJson(std::ostream& out, const FolderCheck& check, int minutes, TimeZone& zone);

}  // namespace pendulon
