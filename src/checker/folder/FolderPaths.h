#pragma once
// The paths qefcheck builds and looks at in a folder: joined with the system's separator, its own
// folder, and a file an editor saved with ".txt" added.

#include <string>

#include "platform/AnsiString.h"
#include "platform/FileReader.h"
#include "platform/ProcessInfo.h"

namespace pendulon {

// folder/name, with separator between them unless folder already ends in one.
AnsiString JoinPath(const AnsiString& folder, const AnsiString& name, char separator);

// The folder of the running executable: as the executer finds its own where paths separate
// with "\", otherwise up to the last "/".
AnsiString OwnFolder(ProcessInfo& platform, char separator);

// When the file's name with ".txt" added names a file, as some editors save it: why that file
// matters, in a sentence. Empty otherwise.
std::string SavedWithTxt(FileReader& files, const AnsiString& path, char separator);

}  // namespace pendulon
