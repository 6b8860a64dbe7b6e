#pragma once
// The few lines of a launch file that decide what the executer's reader makes of a section,
// found without going through the lines between its tags: the two tag lines, the first line of
// each key the launch asks for, the first <MenuItem line and the first line meant as path= under
// another key. The reader, handed only these, reads the same values and finds the same faults
// as in the whole file, so a section that spans thousands of lines costs no more than a short one.

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/ProcessInfo.h"
#include "platform/StringList.h"

namespace pendulon {

class SectionLines {
 public:
  // The lines must outlive the index; the process's code page decides a line's key.
  SectionLines(const TStringList& lines, ProcessInfo& process);

  // The decisive lines, ascending, of the section between the tag lines open and close (each -1
  // when missing).
  std::vector<std::int32_t> Decisive(std::int32_t open, std::int32_t close) const;

  // A header line meant as path= that the reader takes for another key ("Path=", " path ="):
  // why, in a sentence naming its line number; empty for any other line.
  static std::string PathKeyHint(std::string_view line, int number);

 private:
  // The first of the lines (ascending) after `after` and before `before`; -1 for none.
  static std::int32_t FirstBetween(const std::vector<std::int32_t>& lines, std::int32_t after,
                                   std::int32_t before);

  std::vector<std::int32_t> keys_[4];  // path, action, params, dir: the lines with that key
  std::vector<std::int32_t> menuItems_, pathHints_;
};

}  // namespace pendulon
