#pragma once
// A name as the other of the two encodings a Windows editor saves would write it: the same
// letters beyond ASCII in UTF-8 and in the ANSI code page of Western Windows. Only the letters
// both write alike are converted (U+00A0 to U+00FF: ü, é, ß ...); a name with others has no
// such twin here.

#include <optional>
#include <string>
#include <string_view>

namespace pendulon {

// The ANSI bytes of a UTF-8 name; none for a name that is ASCII, not UTF-8, or holds a letter
// past U+00FF or below U+00A0 beyond ASCII.
std::optional<std::string> AnsiOfUtf8(std::string_view name);

// The UTF-8 bytes of an ANSI name; none for a name that is ASCII or holds a byte from 0x80 to
// 0x9F, which Windows-1252 gives letters of other places in Unicode.
std::optional<std::string> Utf8OfAnsi(std::string_view name);

}  // namespace pendulon
