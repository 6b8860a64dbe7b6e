#pragma once
// Text operations on byte strings, positions counted from 1 as the file formats count them.
// Where the ANSI code page is a double-byte one, the process's lead-byte test keeps the two
// bytes of a character together.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/AnsiString.h"
#include "platform/ProcessInfo.h"

namespace pendulon {

// The 1-based position of the first occurrence of sub in s that begins on a character, or 0
// (also for an empty sub or an empty s).
int TextPos(ProcessInfo& process, std::string_view sub, std::string_view s);

// The directory part of a path: up to its last "\" or ":", that separator dropped unless it
// follows a drive colon or another separator. Empty for a path without either.
AnsiString DirectoryOf(ProcessInfo& process, const AnsiString& path);

// The offset of the character after the one at offset i (CharNextA): a lead byte and its
// trail byte go together, a lead byte before the end or a NUL stands alone.
std::size_t CharNext(ProcessInfo& process, const char* text, std::size_t length, std::size_t i);

}  // namespace pendulon
