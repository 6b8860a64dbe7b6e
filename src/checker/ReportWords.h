#pragma once
// The sentences both reports use, so that the text and the JSON say the same.

#include <string>
#include <string_view>

#include "checker/LineAnalysis.h"

namespace pendulon {

// A field's bytes as readable text: a tab as \t, other control bytes and bytes from 0x80 as
// \xNN, everything else as it is.
std::string Visible(std::string_view bytes);

// What the line does and why, in one sentence: "fires at 8:30 on Mondays", "never matches:
// minute \"05\" has a leading zero: ...".
std::string VerdictWords(const LineReport& line);

// Why a line that raises does: how many fields the line split into and which one the walk
// asked for.
std::string RaiseWords(const LineReport& line);

// "at minute 7 of every hour, when line 4 raises first"
std::string OverlapWords(const Overlap& overlap);

}  // namespace pendulon
