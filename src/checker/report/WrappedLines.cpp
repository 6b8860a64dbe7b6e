#include "checker/report/WrappedLines.h"

namespace pendulon {

std::string WrapLine(std::string_view line, std::size_t width) {
  const std::size_t indent = std::min(line.find_first_not_of(' '), line.size());
  const std::string more(std::min(indent + 4, width / 2), ' ');
  std::string out, current(line.substr(0, indent));
  bool empty = true;  // current holds no word yet
  for (std::size_t at = indent; at < line.size();) {
    const std::size_t space = line.find(' ', at);
    const std::size_t end = space == std::string_view::npos ? line.size() : space;
    const std::string_view word = line.substr(at, end - at);
    at = end + 1;
    if (word.empty()) {
      // Two spaces in a row align columns: kept, never a place to break.
      if (!empty)
        current += ' ';
      continue;
    }
    if (!empty && current.size() + 1 + word.size() > width) {
      // The spaces before the break end no line.
      current.erase(current.find_last_not_of(' ') + 1);
      out += current + "\n";
      current = more;
      empty = true;
    }
    current += (empty ? "" : " ") + std::string(word);
    empty = false;
  }
  return out + current + "\n";
}

void WrappedLines::HandOn(std::string_view line, bool ended) {
  const std::string wrapped = WrapLine(line, width_);
  // A line cut by a sync keeps its place: no line end is added to it.
  to_.sputn(wrapped.data(), static_cast<std::streamsize>(wrapped.size() - (ended ? 0 : 1)));
}

WrappedLines::int_type WrappedLines::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof()))
    return traits_type::not_eof(c);
  const char character = traits_type::to_char_type(c);
  return xsputn(&character, 1) == 1 ? c : traits_type::eof();
}

std::streamsize WrappedLines::xsputn(const char* text, std::streamsize count) {
  held_.append(text, static_cast<std::size_t>(count));
  std::size_t begin = 0;
  for (std::size_t end; (end = held_.find('\n', begin)) != std::string::npos; begin = end + 1)
    HandOn(std::string_view(held_).substr(begin, end - begin), true);
  held_.erase(0, begin);
  return count;
}

int WrappedLines::sync() {
  if (!held_.empty())
    HandOn(held_, false);
  held_.clear();
  return to_.pubsync();
}

}  // namespace pendulon
