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

std::string Line(int number) {
  return "line " + std::to_string(number);
}

// Why an item launches nothing, its section's tags on those lines (-1: none).
void Diagnose(const TQEFile& file, const AnsiString& item, std::int32_t open, std::int32_t close,
              LaunchExplanation& e) {
  const TStringList& lines = file.Lines();
  if (open < 0) {
    e.problem = LaunchProblem::kNoSection;
    e.words = "the launch file has no section for the item";
    // Names compare exactly; say so when only case or an outer space keeps them apart.
    const std::string wanted = Lower("<" + item + ">");
    for (int i = 0; i < lines.Count() && e.hint.empty(); ++i) {
      if (Lower(lines[i].substr(0, wanted.size())) == wanted)
        e.hint = Line(i + 1) + " opens a section whose name differs only in case";
    }
    if (e.hint.empty() && (item.front() == ' ' || item.back() == ' '))
      e.hint = "the item name begins or ends with a space, which is part of the name";
    return;
  }
  if (close < 0) {
    e.problem = LaunchProblem::kNoClosingTag;
    e.words = "the section opened on " + Line(e.openLine) + " is never closed";
    return;
  }
  if (close <= open) {
    e.problem = LaunchProblem::kClosingBeforeOpening;
    e.words = "the closing tag on " + Line(e.closeLine) + " comes before the opening tag on " +
              Line(e.openLine);
    return;
  }
  // The header ends before the first <MenuItem line; path= may still follow it.
  std::int32_t headerEnd = -1;
  file.HeaderEnd(item, headerEnd);
  const std::int32_t menuItem = open + 1 < close && headerEnd + 1 < close ? headerEnd + 1 : -1;
  const std::int32_t path = file.FindKey("path", open + 1, close - 1);
  e.pathLine = path + 1;
  e.menuItemLine = menuItem >= 0 && (path < 0 || menuItem < path) ? menuItem + 1 : 0;
  if (path < 0) {
    e.problem = LaunchProblem::kNoPath;
    e.words = "the section opened on " + Line(e.openLine) + " has no path=";
  } else if (e.menuItemLine != 0) {
    e.problem = LaunchProblem::kMenuItemBeforePath;
    e.words = "the section's keys end at the <MenuItem line " + std::to_string(e.menuItemLine) +
              ", before path= on " + Line(e.pathLine);
  } else {
    e.problem = LaunchProblem::kEmptyPath;
    e.words = "path= on " + Line(e.pathLine) + " is empty";
  }
  // Keys compare exactly too: look for "path" in other cases above the first "path=". Its four
  // letters are never lead bytes, so "=" right after them is the line's first.
  for (std::int32_t i = open + 1; i <= (path < 0 ? close - 1 : path - 1) && e.hint.empty(); ++i) {
    const std::string_view line = lines[i];
    if (line.size() > 4 && line[4] == '=' && Lower(line.substr(0, 4)) == "path")
      e.hint = Line(i + 1) + " has \"" + std::string(line.substr(0, 5)) +
               "\": keys compare exactly, case included";
  }
}

// "C:\x" or "C:/x": a local path, unlike \\server\share, a URL or a relative path. Wildcards
// are left alone, since the lookup would match them.
bool OnDrive(std::string_view file) {
  const bool letter =
      !file.empty() && ((file[0] >= 'A' && file[0] <= 'Z') || (file[0] >= 'a' && file[0] <= 'z'));
  return letter && file.size() > 3 && file[1] == ':' && (file[2] == '\\' || file[2] == '/') &&
         file.find_first_of("*?") == std::string_view::npos;
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
                                       "no-path",
                                       "file-not-found"};
  return kCodes[static_cast<int>(problem)];
}

LaunchExplainer::LaunchExplainer(DryRunPlatform& platform, const AnsiString& launchPath,
                                 bool present, bool checkDrivePaths)
    : platform_(platform), checkDrivePaths_(checkDrivePaths) {
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
      if (checkDrivePaths_ && OnDrive(e.request.file) &&
          !platform_.FindFile(e.request.file).found) {
        e.problem = LaunchProblem::kFileNotFound;
        e.words = "the shell will answer: file not found, as this machine has no such file";
      }
    }
  } else {
    e.problem = LaunchProblem::kLaunchFileMissing;
    e.words = "the launch file is missing (the executer would create it empty)";
  }
  return known_.emplace(item, std::move(e)).first->second;
}

}  // namespace pendulon
