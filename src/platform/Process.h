#pragma once
// What the running process knows of itself: its folder and its first argument.

#include "platform/AnsiString.h"
#include "platform/Platform.h"

namespace pendulon {

// The full path of the running executable, however long.
AnsiString ExePath(Platform& platform);

// The folder of the running executable, without a trailing separator except at a drive root
// (C:\). Paths of any length are read whole.
AnsiString ExeDirectory(Platform& platform);

// The first argument after the program's name, cut from a command line the way Windows
// programs split it: blanks and control bytes separate, a stretch in double quotes does not,
// the quotes themselves are dropped, and a pair of quotes where an argument would begin makes
// no argument. Empty when there is no argument.
AnsiString FirstArgument(Platform& platform);

// The same over a given command line; the first token is the program's name.
AnsiString ArgumentOf(Platform& platform, const AnsiString& commandLine, int index);

}  // namespace pendulon
