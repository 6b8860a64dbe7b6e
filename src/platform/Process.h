#pragma once
// What the running process knows of itself: its folder and its first argument.

#include "platform/AnsiString.h"
#include "platform/ProcessInfo.h"

namespace pendulon {

// The full path of the running executable, however long.
AnsiString ExePath(ProcessInfo& process);

// The folder of the running executable, without a trailing separator except at a drive root
// (C:\). Paths of any length are read whole.
AnsiString ExeDirectory(ProcessInfo& process);

// The first argument after the program's name on the process's command line (GetCommandLineA),
// cut the way Windows programs split it: blanks and control bytes separate, a stretch in double
// quotes does not, the quotes themselves are dropped, and a pair of quotes where an argument
// would begin makes no argument. Empty when there is no argument. The process's code page keeps
// a double-byte character whole.
AnsiString FirstArgument(ProcessInfo& process, const AnsiString& commandLine);

// The same over a given command line; the first token is the program's name.
AnsiString ArgumentOf(ProcessInfo& process, const AnsiString& commandLine, int index);

}  // namespace pendulon
