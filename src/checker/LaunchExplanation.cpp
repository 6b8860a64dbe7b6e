#include "checker/LaunchExplanation.h"

#include "launcher/RunItem.h"

namespace pendulon {
namespace {

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

std::string Words(const LaunchExplanation& e) {
  const auto line = [](int n) { return "line " + std::to_string(n); };
  switch (e.problem) {
    case LaunchProblem::kNone:
      return "launches";
    case LaunchProblem::kLaunchFileMissing:
      return "the launch file is missing (the executer would create it empty)";
    case LaunchProblem::kNoSection:
      return "the launch file has no section for the item";
    case LaunchProblem::kNoClosingTag:
      return "the section opened on " + line(e.openLine) + " is never closed";
    case LaunchProblem::kClosingBeforeOpening:
      return "the closing tag on " + line(e.closeLine) + " comes before the opening tag on " +
             line(e.openLine);
    case LaunchProblem::kMenuItemBeforePath:
      return "the section's keys end at the <MenuItem line " + std::to_string(e.menuItemLine) +
             ", before path= on " + line(e.pathLine);
    case LaunchProblem::kEmptyPath:
      return "path= on " + line(e.pathLine) + " is empty";
    case LaunchProblem::kNoPath:
      return "the section opened on " + line(e.openLine) + " has no path=";
  }
  return std::string();
}

// Why an item launches nothing, its section's tags on those lines (-1: none).
void Diagnose(const TQEFile& file, const AnsiString& item, std::int32_t open, std::int32_t close,
              LaunchExplanation& e) {
  const TStringList& lines = file.Lines();
  if (open < 0) {
    e.problem = LaunchProblem::kNoSection;
    // Names compare exactly; say so when only case or an outer space keeps them apart.
    const std::string wanted = Lower("<" + item + ">");
    for (int i = 0; i < lines.Count() && e.hint.empty(); ++i) {
      if (Lower(lines[i].substr(0, wanted.size())) == wanted)
        e.hint =
            "line " + std::to_string(i + 1) + " opens a section whose name differs only in case";
    }
    if (e.hint.empty() && (item.front() == ' ' || item.back() == ' '))
      e.hint = "the item name begins or ends with a space, which is part of the name";
    return;
  }
  if (close < 0 || close <= open) {
    e.problem = close < 0 ? LaunchProblem::kNoClosingTag : LaunchProblem::kClosingBeforeOpening;
    return;
  }
  // The header ends before the first <MenuItem line; path= may still follow it.
  std::int32_t headerEnd = -1;
  file.HeaderEnd(item, headerEnd);
  const std::int32_t menuItem = open + 1 < close && headerEnd + 1 < close ? headerEnd + 1 : -1;
  const std::int32_t path = file.FindKey("path", open + 1, close - 1);
  e.pathLine = path + 1;
  e.menuItemLine = menuItem >= 0 && (path < 0 || menuItem < path) ? menuItem + 1 : 0;
  e.problem = path < 0              ? LaunchProblem::kNoPath
              : e.menuItemLine != 0 ? LaunchProblem::kMenuItemBeforePath
                                    : LaunchProblem::kEmptyPath;
  // Keys compare exactly too: look for "path" in other cases above the first "path=". Its four
  // letters are never lead bytes, so "=" right after them is the line's first.
  for (std::int32_t i = open + 1; i <= (path < 0 ? close - 1 : path - 1) && e.hint.empty(); ++i) {
    const std::string_view line = lines[i];
    if (line.size() > 4 && line[4] == '=' && Lower(line.substr(0, 4)) == "path")
      e.hint = "line " + std::to_string(i + 1) + " has \"" + std::string(line.substr(0, 5)) +
               "\": keys compare exactly, case included";
  }
}

}  // namespace

const char* LaunchProblemCode(LaunchProblem problem) {
  static const char* const kCodes[] = {"none",
                                       "launch-file-missing",
                                       "no-section",
                                       "no-closing-tag",
                                       "closing-before-opening",
                                       "menuitem-before-path",
                                       "empty-path",
                                       "no-path"};
  return kCodes[static_cast<int>(problem)];
}

LaunchExplainer::LaunchExplainer(DryRunPlatform& platform, const AnsiString& launchPath,
                                 bool present)
    : platform_(platform) {
  if (present)
    file_ = std::make_unique<TQEFile>(platform, platform, launchPath);
}

const LaunchExplanation& LaunchExplainer::Explain(const AnsiString& item) {
  if (const auto known = known_.find(item); known != known_.end())
    return known->second;
  LaunchExplanation e;
  if (file_) {
    std::int32_t open = -1, close = -1;
    file_->FindTag(item, true, open);
    file_->FindTag(item, false, close);
    e.openLine = open + 1;
    e.closeLine = close + 1;
    platform_.shellRequests.clear();
    RunItem(platform_, platform_, platform_, 0, item);
    if (platform_.shellRequests.empty()) {
      Diagnose(*file_, item, open, close, e);
    } else {
      e.request = platform_.shellRequests.front();
      e.verbIsDefault = file_->GetAction(item).empty();
      e.directoryIsDefault = file_->GetDir(item).empty();
    }
  } else {
    e.problem = LaunchProblem::kLaunchFileMissing;
  }
  e.words = Words(e);
  return known_.emplace(item, std::move(e)).first->second;
}

}  // namespace pendulon
