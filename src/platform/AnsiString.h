#pragma once
// Texts are bytes of the system's ANSI code page; nothing is converted or validated.
// Equality is the string's own: same length, same bytes, case-sensitive.

#include <string>

namespace pendulon {

using AnsiString = std::string;

}  // namespace pendulon
