#include "checker/text/Printable.h"

#include <cstdio>

namespace pendulon {
namespace {

bool IsControl(unsigned char byte) {
  return byte < 0x20 || byte == 0x7F;
}

}  // namespace

std::string EscapedByte(unsigned char byte) {
  char text[8];
  std::snprintf(text, sizeof text, "<%02X>", byte);
  return text;
}

std::string Quoted(std::string_view bytes) {
  return "\"" + Visible(bytes) + "\"";
}

std::string Visible(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size());
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (IsControl(byte))
      text += EscapedByte(byte);
    else
      text += c;
  }
  return text;
}

std::string ShowLine(std::string_view line, ProcessInfo& process, ConsoleText& console) {
  std::string text, shown;
  text.reserve(line.size());
  for (std::size_t i = 0; i < line.size();) {
    const auto byte = static_cast<unsigned char>(line[i]);
    if (byte < 0x80) {
      // The report's own line ends pass; a control byte that slipped through Visible does not.
      if (IsControl(byte) && byte != '\n')
        text += EscapedByte(byte);
      else
        text += line[i];
      ++i;
      continue;
    }
    // A lead byte takes its trail byte along, unless the line ends first.
    const std::size_t length =
        process.IsLeadByte(byte) && i + 1 < line.size() && line[i + 1] != '\n' ? 2 : 1;
    const std::string_view character = line.substr(i, length);
    shown.clear();
    if (console.Shown(character, shown)) {
      text += shown;
    } else {
      for (const char c : character) text += EscapedByte(static_cast<unsigned char>(c));
    }
    i += length;
  }
  return text;
}

}  // namespace pendulon
