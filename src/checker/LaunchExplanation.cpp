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

// Why an item launches nothing, in the executer's own words, with a likely cause where one is
// seen.
void Diagnose(const TQEFile& file, const AnsiString& item, LaunchExplanation& e) {
  static const LaunchProblem kProblems[] = {LaunchProblem::kNoSection,
                                            LaunchProblem::kNoClosingTag,
                                            LaunchProblem::kClosingBeforeOpening,
                                            LaunchProblem::kNoPath,
                                            LaunchProblem::kMenuItemBeforePath,
                                            LaunchProblem::kEmptyPath};
  const NothingLaunched n = WhyNothingLaunches(file, item);
  e.problem = kProblems[n.cause];
  e.words = n.words;
  const TStringList& lines = file.Lines();
  if (n.cause == NothingLaunched::kNoSection) {
    // Names compare exactly; say so when only case or an outer space keeps them apart.
    const std::string wanted = Lower("<" + item + ">");
    for (int i = 0; i < lines.Count() && e.hint.empty(); ++i) {
      if (Lower(lines[i].substr(0, wanted.size())) == wanted)
        e.hint = Line(i + 1) + " opens a section whose name differs only in case";
    }
    if (e.hint.empty() && !item.empty() && (item.front() == ' ' || item.back() == ' '))
      e.hint = "the item name begins or ends with a space, which is part of the name";
    return;
  }
  if (n.cause == NothingLaunched::kNoClosingTag ||
      n.cause == NothingLaunched::kClosingBeforeOpening)
    return;
  e.pathLine = n.path + 1;
  e.menuItemLine = n.menuItem >= 0 && (n.path < 0 || n.menuItem < n.path) ? n.menuItem + 1 : 0;
  // Keys compare exactly too: look for "path" in other cases above the first "path=". Its four
  // letters are never lead bytes, so "=" right after them is the line's first.
  const std::int32_t last = n.path < 0 ? n.close - 1 : n.path - 1;
  for (std::int32_t i = n.open + 1; i <= last && e.hint.empty(); ++i) {
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
      Diagnose(*file_, item, e);
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
