#pragma once
// The printable form of bytes from the checked files. Visible writes every control byte of a
// field as <XX> (its hex value), a form that never reads like part of a path; ShowLine then
// turns a line's ANSI characters into the terminal's, writing any the terminal cannot show, or
// would take for a control, as <XX> too. Nothing from the files reaches the terminal as a
// control byte.

#include <string>
#include <string_view>

#include "platform/ConsoleText.h"
#include "platform/ProcessInfo.h"

namespace pendulon {

// "<1B>" for the byte 0x1B.
std::string EscapedByte(unsigned char byte);

// A field's bytes with each control byte (below 0x20, and 0x7F) as <XX>; the others as they are.
std::string Visible(std::string_view bytes);
// The same in double quotes: "Backup".
std::string Quoted(std::string_view bytes);

// One line of a report as the terminal is to show it: ASCII as it is, line ends kept, control
// bytes as <XX>, each ANSI character (the process's lead bytes pair them) as the console shows
// it, or as <XX> for each of its bytes where it cannot.
std::string ShowLine(std::string_view line, ProcessInfo& process, ConsoleText& console);

}  // namespace pendulon
