#pragma once
// Where the process looks for DLLs loaded by name.

namespace pendulon {

// Restricts the search for DLLs loaded by name to System32, so that a DLL dropped into the
// program's folder (which its user can write) never runs inside it. Where Windows lacks
// SetDefaultDllDirectories (Windows 7 without its update), only the current folder leaves the
// search: the program's own folder is still searched first there. The first thing each entry
// point does; programs it launches are not affected.
void RestrictDllSearchToSystem32() noexcept;

}  // namespace pendulon
