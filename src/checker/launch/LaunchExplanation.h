#pragma once
// What the executer hands the shell for an item, read by the executer's own ReadLaunchRequest
// from the lines that decide the item, and, when that launches nothing, the reason, found with
// the launch-file reader's own lookups.

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "checker/launch/NearNames.h"
#include "checker/launch/PrefixIndex.h"
#include "checker/launch/SectionLines.h"
#include "checker/launch/ServingHost.h"
#include "launcher/LaunchItem.h"
#include "launcher/NothingLaunched.h"
#include "launcher/Qeflib.h"

namespace pendulon {

// What the executer hands the shell, and how it asks for the window to be shown.
struct ShellRequest : LaunchRequest {
  int showCommand = 0;
};

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
  kQuotedPath,    // launches, but the path is in double quotes, which the shell takes as given
};

const char* LaunchProblemCode(LaunchProblem problem);
// The problem that each cause of launching nothing is.
LaunchProblem ProblemOf(NothingLaunched::Cause cause);

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
    return problem == LaunchProblem::kNone || problem == LaunchProblem::kFileNotFound ||
           problem == LaunchProblem::kQuotedPath;
  }
};

class LaunchExplainer {
 public:
  // Without the file every item launches nothing. Raises EFOpenError when the file is there
  // but cannot be read. With checkDrivePaths, a file on a drive letter that is not there is a
  // problem: only where qefcheck runs on the machine the executer runs on.
  LaunchExplainer(ServingHost& platform, const AnsiString& launchPath, bool present,
                  bool checkDrivePaths = false);

  // Reads the file once; each item costs a few of its section's lines, not the whole file.
  const LaunchExplanation& Explain(const AnsiString& item);

  int LineCount() const { return file_ ? file_->Lines().Count() : 0; }
  // The launch file's lines; none without the file.
  const TStringList* Lines() const { return file_ ? &file_->Lines() : nullptr; }

 private:
  void Diagnose(const TQEFile& part, const std::vector<std::int32_t>& lineAt,
                const AnsiString& item, LaunchExplanation& e);
  // The name of a section that the item begins with, followed by a space; none when no
  // section is so named.
  std::optional<std::string_view> NamedBeforeSpaces(const AnsiString& item) const;
  // Where a section is named by the item's letters in the other encoding: the hint that says so.
  std::string OtherEncodingHint(const AnsiString& item) const;
  void NoSectionHint(const AnsiString& item, LaunchExplanation& e);

  ServingHost& platform_;
  AnsiString launchPath_;
  bool checkDrivePaths_;
  std::unique_ptr<TQEFile> file_;
  FileTime written_ = 0;
  // The lines that begin with "<", to find tag lines by, as they are and in lower case (for
  // names that differ only in case); and the lines that decide each section.
  PrefixIndex tags_, lowerTags_;
  std::vector<std::string> lowered_;
  std::unique_ptr<SectionLines> sections_;
  NearNames names_;  // the sections' names, for a misspelt item
  std::map<AnsiString, LaunchExplanation> known_;
};

}  // namespace pendulon
