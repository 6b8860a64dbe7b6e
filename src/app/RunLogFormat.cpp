#include "app/RunLogFormat.h"

#include <cstdio>
#include <cstdlib>

namespace pendulon {

AnsiString EscapeField(std::string_view value) {
  AnsiString out;
  out.reserve(value.size());
  for (const char c : value) {
    switch (c) {
      case '\t':
        out += "\\t";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\\':
        out += "\\\\";
        break;
      default:
        out += c;
    }
  }
  return out;
}

AnsiString TimeStamp(const SystemTime& t, std::int32_t offset) {
  const int magnitude = std::abs(offset);
  char text[40];
  std::snprintf(text, sizeof text, "%04u-%02u-%02uT%02u:%02u:%02u.%03u%c%02d:%02d",
                unsigned{t.year} % 10000u, unsigned{t.month} % 100u, unsigned{t.day} % 100u,
                unsigned{t.hour} % 100u, unsigned{t.minute} % 100u, unsigned{t.second} % 100u,
                unsigned{t.milliseconds} % 1000u, offset < 0 ? '-' : '+', magnitude / 60 % 100,
                magnitude % 60);
  return text;
}

AnsiString MinuteText(const SystemTime& t) {
  char text[24];
  std::snprintf(text, sizeof text, "%04u-%02u-%02uT%02u:%02u", unsigned{t.year} % 10000u,
                unsigned{t.month} % 100u, unsigned{t.day} % 100u, unsigned{t.hour} % 100u,
                unsigned{t.minute} % 100u);
  return text;
}

const char* ShellAnswerMeaning(std::intptr_t answer) {
  if (answer > 32)
    return "ok";
  switch (answer) {
    case 0:
      return "out of memory or resources";
    case 2:
      return "file not found";
    case 3:
      return "path not found";
    case 5:
      return "access denied";
    case 8:
      return "out of memory";
    case 11:
      return "bad format";
    case 26:
      return "sharing violation";
    case 27:
      return "incomplete association";
    case 28:
      return "DDE timeout";
    case 29:
      return "DDE failed";
    case 30:
      return "DDE busy";
    case 31:
      return "no association";
    case 32:
      return "DLL not found";
    default:
      return "error";
  }
}

AnsiString LogLine(const AnsiString& timeStamp, const std::vector<std::string_view>& fields) {
  AnsiString line = timeStamp;
  for (const std::string_view field : fields) {
    line += '\t';
    line += EscapeField(field);
  }
  line += "\r\n";
  return line;
}

}  // namespace pendulon
