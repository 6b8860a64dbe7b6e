#include "launcher/Qeflib.h"

#include "platform/Files.h"
#include "platform/Text.h"

namespace pendulon {
namespace {

bool BeginsWith(std::string_view line, std::string_view prefix) {
  return line.size() >= prefix.size() && line.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

std::string OpeningTag(std::string_view name) {
  return "<" + std::string(name) + ">";
}

std::string ClosingTag(std::string_view name) {
  return "</" + std::string(name) + ">";
}

bool IsMenuItemLine(std::string_view line) {
  return BeginsWith(line, "<MenuItem");
}

TQEFile::TQEFile(ReadingHost& host, const AnsiString& path) : process_(host) {
  LoadLines(host, lines_, path);
}

std::int32_t TQEFile::FindLine(const AnsiString& prefix, std::int32_t start) const {
  for (std::int32_t i = start < 0 ? 0 : start; i < lines_.Count(); ++i) {
    if (BeginsWith(lines_[i], prefix)) {
      return i;
    }
  }
  return -1;
}

std::int32_t TQEFile::FindTag(const AnsiString& name, bool opening) const {
  const std::int32_t open = FirstBeginningWith(OpeningTag(name));
  if (open == -1 || opening) {
    return open;
  }
  return FirstBeginningWith(ClosingTag(name));
}

std::int32_t TQEFile::FirstBeginningWith(const AnsiString& tag) const {
  // A tag with a ">" before its last byte is not the text up to a line's first ">".
  if (tag.empty() || tag.front() != '<' || tag.find('>') != tag.size() - 1)
    return FindLine(tag, 0);
  if (!tagsBuilt_) {
    for (std::int32_t i = 0; i < lines_.Count(); ++i) {
      const std::string_view line = lines_[i];
      const std::size_t end = line.find('>');
      if (!line.empty() && line.front() == '<' && end != std::string_view::npos)
        tags_.try_emplace(line.substr(0, end + 1), i);
    }
    tagsBuilt_ = true;
  }
  const auto found = tags_.find(tag);
  return found == tags_.end() ? -1 : found->second;
}

std::int32_t TQEFile::HeaderEnd(const AnsiString& name) const {
  const std::int32_t open = FindTag(name, true), close = FindTag(name, false);
  if (open == -1 || close == -1) {
    return -1;
  }
  std::int32_t end = 0;
  for (std::int32_t i = open + 1; i < close; ++i) {
    if (IsMenuItemLine(lines_[i])) {
      return i - 1;
    }
    end = i;
  }
  return end;
}

std::int32_t TQEFile::FindKey(const AnsiString& key, std::int32_t first, std::int32_t last) const {
  for (std::int32_t i = first < 0 ? 0 : first; i <= last && i < lines_.Count(); ++i) {
    const std::string_view line = lines_[i];
    const int equals = TextPos(process_, "=", line);  // 1-based; 0 when there is none
    const std::size_t keyLength = equals > 0 ? static_cast<std::size_t>(equals - 1) : 0;
    if (keyLength == key.size() && line.compare(0, keyLength, key) == 0) {
      return i;
    }
  }
  return -1;
}

AnsiString TQEFile::GetValue(const AnsiString& name, const AnsiString& key) const {
  if (name.empty()) {
    return AnsiString();
  }
  const std::int32_t line = FindKey(key, FindTag(name, true) + 1, HeaderEnd(name));
  if (line == -1) {
    return AnsiString();
  }
  const std::string_view text = lines_[line];
  return AnsiString(text.substr(static_cast<std::size_t>(TextPos(process_, "=", text))));
}

}  // namespace pendulon
