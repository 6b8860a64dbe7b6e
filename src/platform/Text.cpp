#include "platform/Text.h"

namespace pendulon {

std::size_t CharNext(ProcessInfo& process, const char* text, std::size_t length, std::size_t i) {
  if (i + 1 < length && text[i + 1] != '\0' &&
      process.IsLeadByte(static_cast<unsigned char>(text[i]))) {
    return i + 2;
  }
  return i + 1;
}

int TextPos(ProcessInfo& process, std::string_view sub, std::string_view s) {
  if (sub.empty() || s.empty()) {
    return 0;
  }
  // Character starts are only known by walking from the front; walk lazily up to each hit.
  std::size_t charStart = 0;
  for (std::size_t hit = s.find(sub); hit != std::string_view::npos; hit = s.find(sub, hit + 1)) {
    while (charStart < hit) {
      charStart = CharNext(process, s.data(), s.size(), charStart);
    }
    if (charStart == hit) {
      return static_cast<int>(hit + 1);
    }
  }
  return 0;
}

AnsiString DirectoryOf(ProcessInfo& process, const AnsiString& path) {
  std::size_t last = 0;               // 1-based position of the last separator, 0 for none
  bool lastFollowsSeparator = false;  // the character before it is "\\" or ":" itself
  bool previousIsSeparator = false;
  for (std::size_t i = 0; i < path.size();) {
    const std::size_t next = CharNext(process, path.data(), path.size(), i);
    // A trail byte of a double-byte character is never a separator, not even as the neighbour.
    const bool isSeparator = next == i + 1 && (path[i] == '\\' || path[i] == ':');
    if (isSeparator) {
      last = i + 1;
      lastFollowsSeparator = previousIsSeparator;
    }
    previousIsSeparator = isSeparator;
    i = next;
  }
  if (last > 1 && path[last - 1] == '\\' && !lastFollowsSeparator) {
    --last;
  }
  return path.substr(0, last);
}

}  // namespace pendulon
