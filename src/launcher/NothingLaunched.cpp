#include "launcher/NothingLaunched.h"

#include <string>

namespace pendulon {
namespace {

AnsiString Line(std::int32_t index) {
  return "line " + std::to_string(index + 1);
}

}  // namespace

NothingLaunched WhyNothingLaunches(const TQEFile& file, const AnsiString& itemName,
                                   const std::vector<std::int32_t>* lineAt) {
  NothingLaunched n;
  n.open = file.FindTag(itemName, true);
  n.close = file.FindTag(itemName, false);
  if (itemName.empty() || n.open < 0) {
    n.cause = NothingLaunched::kNoSection;
  } else if (n.close < 0) {
    n.cause = NothingLaunched::kNoClosingTag;
  } else if (n.close <= n.open) {
    n.cause = NothingLaunched::kClosingBeforeOpening;
  } else {
    // The header ends before the first <MenuItem line; path= may still follow it.
    const std::int32_t headerEnd = file.HeaderEnd(itemName);
    n.menuItem = n.open + 1 < n.close && headerEnd + 1 < n.close ? headerEnd + 1 : -1;
    n.path = file.FindKey("path", n.open + 1, n.close - 1);
    n.cause = n.path < 0                               ? NothingLaunched::kNoPath
              : n.menuItem >= 0 && n.menuItem < n.path ? NothingLaunched::kMenuItemBeforePath
                                                       : NothingLaunched::kEmptyPath;
  }
  for (std::int32_t* line : {&n.open, &n.close, &n.menuItem, &n.path}) {
    if (*line >= 0 && lineAt != nullptr)
      *line = (*lineAt)[static_cast<std::size_t>(*line)];
  }
  switch (n.cause) {
    case NothingLaunched::kNoSection:
      n.words = "the launch file has no section for the item";
      break;
    case NothingLaunched::kNoClosingTag:
      n.words = "the section opened on " + Line(n.open) + " is never closed";
      break;
    case NothingLaunched::kClosingBeforeOpening:
      n.words = "the closing tag on " + Line(n.close) + " comes before the opening tag on " +
                Line(n.open);
      break;
    case NothingLaunched::kNoPath:
      n.words = "the section opened on " + Line(n.open) + " has no path=";
      break;
    case NothingLaunched::kMenuItemBeforePath:
      n.words = "the section's keys end at the <MenuItem line " + std::to_string(n.menuItem + 1) +
                ", before path= on " + Line(n.path);
      break;
    case NothingLaunched::kEmptyPath:
      n.words = "path= on " + Line(n.path) + " is empty";
      break;
  }
  return n;
}

}  // namespace pendulon
