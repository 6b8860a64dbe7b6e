#include "checker/launch/SectionLines.h"

#include <algorithm>
#include <string>

#include "checker/text/AsciiLower.h"
#include "checker/text/LineNumbers.h"
#include "checker/text/Printable.h"
#include "launcher/Qeflib.h"
#include "platform/Text.h"

namespace pendulon {
namespace {

constexpr std::string_view kKeys[] = {"path", "action", "params", "dir"};

std::string_view Trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos)
    return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

SectionLines::SectionLines(const TStringList& lines, ProcessInfo& process) {
  for (std::int32_t i = 0; i < lines.Count(); ++i) {
    const std::string_view line = lines[i];
    // The key as the reader splits it: up to the first "=" that begins a character.
    const int equals = TextPos(process, "=", line);
    const std::string_view key = equals > 0 ? line.substr(0, equals - 1) : std::string_view();
    for (std::size_t k = 0; k < std::size(kKeys); ++k) {
      if (key == kKeys[k])
        keys_[k].push_back(i);
    }
    if (IsMenuItemLine(line))
      menuItems_.push_back(i);
    if (!PathKeyHint(line, 0).empty())
      pathHints_.push_back(i);
  }
}

std::string SectionLines::PathKeyHint(std::string_view line, int number) {
  // Its four letters are never lead bytes, so its first "=" is the line's.
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos)
    return {};
  const std::string_view key = line.substr(0, equals);
  if (key == "path" || Trimmed(key).size() != 4 || AsciiLower(Trimmed(key)) != "path")
    return {};
  const std::string where = Line(number);
  if (Trimmed(key) == key)
    return where + " has \"" + Visible(key) + "=\": keys compare exactly, case included";
  return where + " has the key \"" + Visible(key) +
         "\": keys compare exactly, spaces included; write path=" +
         Visible(Trimmed(line.substr(equals + 1)));
}

std::int32_t SectionLines::FirstBetween(const std::vector<std::int32_t>& lines, std::int32_t after,
                                        std::int32_t before) {
  const auto found = std::upper_bound(lines.begin(), lines.end(), after);
  return found != lines.end() && *found < before ? *found : -1;
}

std::vector<std::int32_t> SectionLines::Decisive(std::int32_t open, std::int32_t close) const {
  std::vector<std::int32_t> decisive;
  for (const std::int32_t tag : {open, close}) {
    if (tag >= 0)
      decisive.push_back(tag);
  }
  if (open >= 0 && close > open) {
    // Each key's first line between the tags: in the header it is the one read; below the
    // <MenuItem line it shows where path= went.
    std::int32_t firstPath = close;
    for (std::size_t k = 0; k < std::size(kKeys); ++k) {
      const std::int32_t line = FirstBetween(keys_[k], open, close);
      if (line >= 0)
        decisive.push_back(line);
      if (k == 0 && line >= 0)
        firstPath = line;
    }
    for (const std::int32_t line :
         {FirstBetween(menuItems_, open, close), FirstBetween(pathHints_, open, firstPath)}) {
      if (line >= 0)
        decisive.push_back(line);
    }
  }
  std::sort(decisive.begin(), decisive.end());
  decisive.erase(std::unique(decisive.begin(), decisive.end()), decisive.end());
  return decisive;
}

}  // namespace pendulon
