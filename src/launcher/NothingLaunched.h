#pragma once
// Why an item launches nothing: the first fault of its section in the launch file, in the words
// that the run log and qefcheck both use.

#include <cstdint>
#include <vector>

#include "launcher/Qeflib.h"
#include "platform/AnsiString.h"

namespace pendulon {

// Why an item whose path is empty launches nothing: the first fault of its section, the lines
// that show it (0-based, -1 for none), and the words the run log and qefcheck both use. A reader
// of some of a file's lines is given the file's index of each of its lines in lineAt.
struct NothingLaunched {
  enum Cause {
    kNoSection,
    kNoClosingTag,
    kClosingBeforeOpening,
    kNoPath,
    kMenuItemBeforePath,
    kEmptyPath
  } cause = kNoSection;
  std::int32_t open = -1, close = -1, menuItem = -1, path = -1;
  AnsiString words;
};
NothingLaunched WhyNothingLaunches(const TQEFile& file, const AnsiString& itemName,
                                   const std::vector<std::int32_t>* lineAt = nullptr);

}  // namespace pendulon
