#pragma once
// Whether the executer, running as the user who runs qefcheck, could write its run log: it drops
// every line of a log it cannot append to, and never rolls over one in a folder it may not add
// to. Asked without writing anything.

#include <string>

#include "platform/AnsiString.h"
#include "platform/WriteAccess.h"

namespace pendulon {

// Why the executer cannot write the log at path, in the folder lib, with the fix; empty when it
// can.
std::string WhyLogNotWritten(WriteAccess& access, const AnsiString& log, const AnsiString& lib);

}  // namespace pendulon
