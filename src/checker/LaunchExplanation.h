#pragma once
// What the executer hands the shell for an item, found by running its own RunItem on a dry-run
// platform, and, when that launches nothing, the reason, found with the launch-file reader's
// own lookups.

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
  kFileNotFound,  // launches, but the file is not on this machine's drive
};

const char* LaunchProblemCode(LaunchProblem problem);

struct LaunchExplanation {
  LaunchProblem problem = LaunchProblem::kNone;
  ShellRequest request;  // what the shell is given, when there is no problem
  bool verbIsDefault = false, directoryIsDefault = false;
  // Lines of the launch file, counted from 1; 0 where there is none.
  int openLine = 0, closeLine = 0, menuItemLine = 0, pathLine = 0;
  std::string words;  // why nothing is launched, as a sentence about the item
  std::string hint;   // a likely cause, when one is seen; may be empty

  // True when the executer hands the shell a request, whatever it will answer.
  bool Requested() const {
    return problem == LaunchProblem::kNone || problem == LaunchProblem::kFileNotFound;
  }
};

class LaunchExplainer {
 public:
  // The dry-run platform must already see the launch file where the executer looks for it.
  // Without the file every item launches nothing. Raises EFOpenError when the file is there
  // but cannot be read. With checkDrivePaths, a file on a drive letter that is not there is a
  // problem: only where qefcheck runs on the machine the executer runs on.
  LaunchExplainer(DryRunPlatform& platform, const AnsiString& launchPath, bool present,
                  bool checkDrivePaths = false);

  const LaunchExplanation& Explain(const AnsiString& item);

  int LineCount() const { return file_ ? file_->Lines().Count() : 0; }

 private:
  DryRunPlatform& platform_;
  bool checkDrivePaths_;
  std::unique_ptr<TQEFile> file_;
  std::map<AnsiString, LaunchExplanation> known_;
};

}  // namespace pendulon
