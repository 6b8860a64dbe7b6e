#pragma once
// Files that an editor saved in UTF-8, which the executer reads byte for byte in the ANSI code
// page: each letter beyond ASCII then becomes two or three other letters, and a path holding one
// names no file.

#include <string>
#include <string_view>
#include <vector>

#include "platform/StringList.h"

namespace pendulon {

// True when the bytes from 0x80 in text, if any, all form well-formed UTF-8 sequences.
bool IsUtf8(std::string_view text);

// When every byte from 0x80 in the file forms UTF-8 (a byte-order mark alone does not count):
// the hint that says so, naming the lines that hold such bytes. Empty otherwise.
std::string Utf8Hint(const TStringList& lines);

// When the file's bytes are UTF-16 (Notepad's "Unicode"), with its byte-order mark or without:
// the hint that says so and how to save it. Empty otherwise.
std::string Utf16Hint(std::string_view bytes);

}  // namespace pendulon
