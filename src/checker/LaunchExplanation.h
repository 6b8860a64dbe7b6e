#pragma once
// What the executer hands the shell for an item, found by running its own RunItem on a dry-run
// platform, and, when that launches nothing, the reason read from the launch file.

#include <map>
#include <memory>
#include <string>

#include "checker/DryRunPlatform.h"
#include "launcher/Qeflib.h"

namespace pendulon {

enum class LaunchProblem {
  kNone,
  kLaunchFileMissing,
  kNoSection,
  kNoClosingTag,
  kClosingBeforeOpening,
  kMenuItemBeforePath,
  kEmptyPath,
  kNoPath,
};

struct LaunchExplanation {
  LaunchProblem problem = LaunchProblem::kNone;
  ShellRequest request;  // what the shell is given, when there is no problem
  bool verbIsDefault = false, directoryIsDefault = false;
  // Lines of the launch file, counted from 1; 0 where there is none.
  int openLine = 0, closeLine = 0, menuItemLine = 0, pathLine = 0;
  std::string hint;  // a likely cause, when one is seen; may be empty
};

const char* LaunchProblemCode(LaunchProblem problem);
// Why nothing is launched, as a sentence about the item.
std::string LaunchProblemWords(const LaunchExplanation& explanation);

class LaunchExplainer {
 public:
  // The dry-run platform must already see the launch file where the executer looks for it.
  // Without the file every item launches nothing. Raises EFOpenError when the file is there
  // but cannot be read.
  LaunchExplainer(DryRunPlatform& platform, const AnsiString& launchPath, bool present);

  LaunchExplanation Explain(const AnsiString& item);

  int LineCount() const { return file_ ? file_->Lines().Count() : 0; }

 private:
  LaunchExplanation Diagnose(const AnsiString& item) const;
  // The lines of the item's opening and closing tags, from 1; 0 where a tag is missing.
  void MarkTags(const AnsiString& item, LaunchExplanation& e) const;

  DryRunPlatform& platform_;
  std::unique_ptr<TQEFile> file_;
  std::map<AnsiString, LaunchExplanation> known_;
};

}  // namespace pendulon
