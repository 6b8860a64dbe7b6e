#include "platform/Process.h"

#include <cstdint>
#include <vector>

#include "platform/Text.h"

namespace pendulon {
namespace {

// Cuts the token that begins at or after offset p from a NUL-terminated command line;
// gives the offset just after it.
std::size_t NextToken(ProcessInfo& process, const char* line, std::size_t length, std::size_t p,
                      AnsiString& token) {
  auto at = [&](std::size_t i) -> unsigned char {
    return i < length ? static_cast<unsigned char>(line[i]) : 0;
  };
  for (;;) {
    while (at(p) != 0 && at(p) <= ' ') {
      p = CharNext(process, line, length, p);
    }
    if (at(p) == '"' && at(p + 1) == '"') {
      p += 2;
    } else {
      break;
    }
  }
  token.clear();
  while (at(p) > ' ') {
    if (at(p) == '"') {
      ++p;
      while (at(p) != 0 && at(p) != '"') {
        const std::size_t next = CharNext(process, line, length, p);
        token.append(line + p, next - p);
        p = next;
      }
      if (at(p) != 0)
        ++p;
    } else {
      const std::size_t next = CharNext(process, line, length, p);
      token.append(line + p, next - p);
      p = next;
    }
  }
  return p;
}

}  // namespace

AnsiString ExePath(ProcessInfo& process) {
  // MAX_PATH + 1 first; a path that fills the buffer may have been cut, so grow and ask again.
  std::vector<char> buffer(261);
  std::uint32_t length = 0;
  for (;;) {
    length = process.ModuleFileName(buffer.data(), static_cast<std::uint32_t>(buffer.size()));
    if (length < buffer.size() || buffer.size() >= 65536)
      break;
    buffer.resize(buffer.size() * 2);
  }
  return AnsiString(buffer.data(), length < buffer.size() ? length : 0);
}

AnsiString ExeDirectory(ProcessInfo& process) {
  return DirectoryOf(process, ExePath(process));
}

AnsiString ArgumentOf(ProcessInfo& process, const AnsiString& commandLine, int index) {
  // The text ends at its first NUL, as the system's command line does.
  const char* line = commandLine.c_str();
  const std::size_t length = std::char_traits<char>::length(line);
  AnsiString token;
  std::size_t p = 0;
  for (int i = 0; i <= index; ++i) {
    p = NextToken(process, line, length, p, token);
    if (token.empty())
      break;
  }
  return token;
}

AnsiString FirstArgument(ProcessInfo& process, const AnsiString& commandLine) {
  return ArgumentOf(process, commandLine, 1);
}

}  // namespace pendulon
