#include "checker/LaunchExplanation.h"

#include <optional>

#include "launcher/RunItem.h"
#include "platform/Text.h"

namespace pendulon {
namespace {

bool BeginsWith(std::string_view line, std::string_view prefix) {
  return line.substr(0, prefix.size()) == prefix;
}

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

// The key of a key=value line, split as the reader splits it; nullopt without "=".
std::optional<AnsiString> KeyOf(ProcessInfo& platform, const AnsiString& line) {
  const int equals = TextPos(platform, "=", line);
  if (equals == 0)
    return std::nullopt;
  return line.substr(0, static_cast<std::size_t>(equals - 1));
}

}  // namespace

const char* LaunchProblemCode(LaunchProblem problem) {
  switch (problem) {
    case LaunchProblem::kNone:
      return "none";
    case LaunchProblem::kLaunchFileMissing:
      return "launch-file-missing";
    case LaunchProblem::kNoSection:
      return "no-section";
    case LaunchProblem::kNoClosingTag:
      return "no-closing-tag";
    case LaunchProblem::kClosingBeforeOpening:
      return "closing-before-opening";
    case LaunchProblem::kMenuItemBeforePath:
      return "menuitem-before-path";
    case LaunchProblem::kEmptyPath:
      return "empty-path";
    case LaunchProblem::kNoPath:
      return "no-path";
  }
  return "none";
}

std::string LaunchProblemWords(const LaunchExplanation& e) {
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

LaunchExplainer::LaunchExplainer(DryRunPlatform& platform, const AnsiString& launchPath,
                                 bool present)
    : platform_(platform) {
  if (present)
    file_ = std::make_unique<TQEFile>(platform, platform, launchPath);
}

LaunchExplanation LaunchExplainer::Explain(const AnsiString& item) {
  if (const auto known = known_.find(item); known != known_.end())
    return known->second;
  LaunchExplanation e;
  if (!file_) {
    e.problem = LaunchProblem::kLaunchFileMissing;
  } else {
    platform_.ClearShellRequests();
    RunItem(platform_, platform_, platform_, 0, item);
    if (platform_.ShellRequests().empty()) {
      e = Diagnose(item);
    } else {
      e.request = platform_.ShellRequests().front();
      e.verbIsDefault = file_->GetAction(item).empty();
      e.directoryIsDefault = file_->GetDir(item).empty();
      MarkTags(item, e);
    }
  }
  known_.emplace(item, e);
  return e;
}

void LaunchExplainer::MarkTags(const AnsiString& item, LaunchExplanation& e) const {
  std::int32_t open = -1, close = -1;
  file_->FindTag(item, true, open);
  file_->FindTag(item, false, close);
  e.openLine = open + 1;
  e.closeLine = close + 1;
}

LaunchExplanation LaunchExplainer::Diagnose(const AnsiString& item) const {
  LaunchExplanation e;
  const TStringList& lines = file_->Lines();
  MarkTags(item, e);
  const std::int32_t open = e.openLine - 1, close = e.closeLine - 1;
  if (open < 0) {
    e.problem = LaunchProblem::kNoSection;
    // Names compare exactly; say so when only case or an outer space keeps them apart.
    const std::string wanted = "<" + Lower(item) + ">";
    for (int i = 0; i < lines.Count(); ++i) {
      const std::string_view text = lines[i];
      if (BeginsWith(Lower(text), wanted)) {
        e.hint =
            "line " + std::to_string(i + 1) + " opens a section whose name differs only in case";
        break;
      }
    }
    if (e.hint.empty() && (item.front() == ' ' || item.back() == ' '))
      e.hint = "the item name begins or ends with a space, which is part of the name";
    return e;
  }
  if (close < 0) {
    e.problem = LaunchProblem::kNoClosingTag;
    return e;
  }
  if (close <= open) {
    e.problem = LaunchProblem::kClosingBeforeOpening;
    return e;
  }
  for (std::int32_t i = open + 1; i < close; ++i) {
    const AnsiString line(lines[i]);
    if (e.menuItemLine == 0 && BeginsWith(line, "<MenuItem"))
      e.menuItemLine = i + 1;
    const std::optional<AnsiString> key = KeyOf(platform_, line);
    if (key && *key == "path") {
      e.pathLine = i + 1;
      break;
    }
    if (key && Lower(*key) == "path" && e.hint.empty())
      e.hint = "line " + std::to_string(i + 1) + " has \"" + *key +
               "=\": keys compare exactly, case included";
  }
  if (e.pathLine == 0)
    e.problem = LaunchProblem::kNoPath;
  else if (e.menuItemLine != 0)
    e.problem = LaunchProblem::kMenuItemBeforePath;
  else
    e.problem = LaunchProblem::kEmptyPath;
  return e;
}

}  // namespace pendulon
