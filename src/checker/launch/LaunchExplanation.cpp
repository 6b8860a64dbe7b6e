#include "checker/launch/LaunchExplanation.h"

#include <unordered_set>

#include "checker/text/AsciiLower.h"
#include "checker/text/ByteOrderMark.h"
#include "checker/text/LineNumbers.h"
#include "checker/text/OtherEncoding.h"
#include "checker/text/Printable.h"
#include "launcher/LaunchItem.h"
#include "launcher/NothingLaunched.h"

namespace pendulon {
namespace {

// "C:\x" or "C:/x": a local path, unlike \\server\share, a URL or a relative path. Wildcards
// are left alone, since the lookup would match them.
bool OnDrive(std::string_view file) {
  const bool letter =
      !file.empty() && ((file[0] >= 'A' && file[0] <= 'Z') || (file[0] >= 'a' && file[0] <= 'z'));
  return letter && file.size() > 3 && file[1] == ':' && (file[2] == '\\' || file[2] == '/') &&
         file.find_first_of("*?") == std::string_view::npos;
}

std::string WithoutQuotes(std::string_view text) {
  std::string bare;
  for (const char c : text) {
    if (c != '"')
      bare += c;
  }
  return bare;
}

}  // namespace

const char* LaunchProblemCode(LaunchProblem problem) {
  // Named case by case: reordering the problems can never give one the code of another.
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
    case LaunchProblem::kFileNotFound:
      return "file-not-found";
    case LaunchProblem::kQuotedPath:
      return "quoted-path";
  }
  return "";
}

LaunchProblem ProblemOf(NothingLaunched::Cause cause) {
  switch (cause) {
    case NothingLaunched::kNoSection:
      return LaunchProblem::kNoSection;
    case NothingLaunched::kNoClosingTag:
      return LaunchProblem::kNoClosingTag;
    case NothingLaunched::kClosingBeforeOpening:
      return LaunchProblem::kClosingBeforeOpening;
    case NothingLaunched::kNoPath:
      return LaunchProblem::kNoPath;
    case NothingLaunched::kMenuItemBeforePath:
      return LaunchProblem::kMenuItemBeforePath;
    case NothingLaunched::kEmptyPath:
      return LaunchProblem::kEmptyPath;
  }
  return LaunchProblem::kNoSection;
}

LaunchExplainer::LaunchExplainer(ServingHost& platform, const AnsiString& launchPath, bool present,
                                 bool checkDrivePaths)
    : platform_(platform), launchPath_(launchPath), checkDrivePaths_(checkDrivePaths) {
  if (!present)
    return;
  file_ = std::make_unique<TQEFile>(platform, launchPath);
  written_ = platform.FindFile(launchPath).lastWrite;
  const TStringList& lines = file_->Lines();
  sections_ = std::make_unique<SectionLines>(lines, platform);
  std::vector<std::int32_t> tagLines;
  for (std::int32_t i = 0; i < lines.Count(); ++i) {
    if (!lines[i].empty() && lines[i][0] == '<')
      tagLines.push_back(i);
  }
  lowered_.reserve(tagLines.size());  // the index keeps views of them
  std::unordered_set<std::string_view> named;
  for (const std::int32_t i : tagLines) {
    const std::string_view line = lines[i];
    tags_.Add(line, i);
    lowerTags_.Add(lowered_.emplace_back(AsciiLower(line)), i);
    // A section's name: up to the first ">" of a tag line that opens no menu entry.
    const std::size_t close = line.find('>');
    const std::string_view name = line.substr(1, close == std::string_view::npos ? 0 : close - 1);
    if (!name.empty() && name[0] != '/' && !IsMenuItemLine(line) && named.insert(name).second)
      names_.Add(name, i);
  }
  tags_.Build();
  lowerTags_.Build();
}

std::optional<std::string_view> LaunchExplainer::NamedBeforeSpaces(const AnsiString& item) const {
  // A note copied onto the line after the name ("Backup           every day at 8:30"): the
  // first section named by the text before one of the item's spaces.
  for (std::size_t space = item.find(' '); space != AnsiString::npos;
       space = item.find(' ', space + 1)) {
    const std::string_view name = std::string_view(item).substr(0, space);
    if (!name.empty() && tags_.First(OpeningTag(name)) >= 0)
      return name;
  }
  return std::nullopt;
}

std::string LaunchExplainer::OtherEncodingHint(const AnsiString& item) const {
  // The task file in one encoding and the launch file in the other: the same letters, other bytes.
  const auto opened = [&](const std::optional<std::string>& name) {
    return name ? tags_.First(OpeningTag(*name)) : -1;
  };
  if (const std::int32_t line = opened(AnsiOfUtf8(item)); line >= 0)
    return Line(line + 1) +
           " opens a section of the same name saved in ANSI, while the task file writes it in "
           "UTF-8: save the task file as ANSI";
  if (const std::int32_t line = opened(Utf8OfAnsi(item)); line >= 0)
    return Line(line + 1) +
           " opens a section of the same name saved in UTF-8, while the task file writes it in "
           "ANSI: save the launch file as ANSI";
  return {};
}

void LaunchExplainer::NoSectionHint(const AnsiString& item, LaunchExplanation& e) {
  const TStringList& lines = file_->Lines();
  const std::string tag = OpeningTag(item);
  // Names compare exactly; say so when a byte-order mark, case or an outer space keeps them
  // apart.
  if (lines.Count() > 0 && lines[0].substr(0, kByteOrderMark.size()) == kByteOrderMark &&
      AsciiLower(lines[0].substr(kByteOrderMark.size(), tag.size())) == AsciiLower(tag)) {
    e.hint =
        "line 1 begins with a byte-order mark, which hides the section there: save the "
        "launch file without one (ANSI, not UTF-8 with BOM)";
    return;
  }
  const std::int32_t same = lowerTags_.First(AsciiLower(tag));
  if (same >= 0)
    e.hint = Line(same + 1) + " opens a section whose name differs only in case";
  else if (const std::string twin = OtherEncodingHint(item); !twin.empty())
    e.hint = twin;
  else if (!item.empty() && (item.front() == ' ' || item.back() == ' '))
    e.hint = "the item name begins or ends with a space, which is part of the name";
  else if (const std::optional<std::string_view> noted = NamedBeforeSpaces(item))
    e.hint = "did you mean " + Visible(*noted) +
             "? The item is everything after the fifth space, so what follows the name in this "
             "line is part of it: put a note on a # line of its own";
  else if (const std::optional<std::string_view> near = names_.Nearest(item))
    e.hint = "did you mean " + Visible(*near) + "?";
}

// Why an item launches nothing, in the executer's own words, with a likely cause where one is
// seen. part holds the decisive lines of the item's section; lineAt, their lines in the file.
void LaunchExplainer::Diagnose(const TQEFile& part, const std::vector<std::int32_t>& lineAt,
                               const AnsiString& item, LaunchExplanation& e) {
  const NothingLaunched n = WhyNothingLaunches(part, item, &lineAt);
  e.problem = ProblemOf(n.cause);
  e.words = n.words;
  if (n.cause == NothingLaunched::kNoSection) {
    NoSectionHint(item, e);
    return;
  }
  if (n.cause == NothingLaunched::kNoClosingTag ||
      n.cause == NothingLaunched::kClosingBeforeOpening)
    return;
  e.pathLine = n.path + 1;
  e.menuItemLine = n.menuItem >= 0 && (n.path < 0 || n.menuItem < n.path) ? n.menuItem + 1 : 0;
  // Look above the first "path=" for the key meant as path.
  const std::int32_t last = n.path < 0 ? n.close - 1 : n.path - 1;
  for (std::size_t i = 0; i < lineAt.size() && e.hint.empty(); ++i) {
    if (lineAt[i] > n.open && lineAt[i] <= last)
      e.hint = SectionLines::PathKeyHint(part.Lines()[static_cast<int>(i)], lineAt[i] + 1);
  }
}

const LaunchExplanation& LaunchExplainer::Explain(const AnsiString& item) {
  if (const auto known = known_.find(item); known != known_.end())
    return known->second;
  LaunchExplanation e;
  if (file_) {
    const std::int32_t open = item.empty() ? -1 : tags_.First(OpeningTag(item));
    const std::int32_t close = open < 0 ? -1 : tags_.First(ClosingTag(item));
    e.openLine = open + 1;
    e.closeLine = close + 1;
    // The item's reader, handed only the lines that decide its section, reads what it would read
    // in the whole file.
    const std::vector<std::int32_t> lineAt = sections_->Decisive(open, close);
    std::string part;
    for (const std::int32_t i : lineAt) (part += file_->Lines()[i]) += "\r\n";
    platform_.Serve(launchPath_, std::move(part), written_);
    const std::optional<LaunchRequest> request = ReadLaunchRequest(platform_, launchPath_, item);
    if (!request) {
      Diagnose(TQEFile(platform_, launchPath_), lineAt, item, e);
    } else {
      e.request = {*request, kLaunchShowCommand};
      const TQEFile reader(platform_, launchPath_);
      e.verbIsDefault = reader.GetAction(item).empty();
      e.directoryIsDefault = reader.GetDir(item).empty();
      const std::string bare = WithoutQuotes(e.request.file);
      const bool missing = checkDrivePaths_ && OnDrive(bare) && !platform_.FindFile(bare).found;
      if (bare != e.request.file) {
        // Windows names never hold a quote: the shell looks for a file that cannot exist.
        e.problem = LaunchProblem::kQuotedPath;
        e.words =
            "path= is in double quotes: write the path without quotes; Pendulon passes it "
            "to the shell as it is";
        if (missing)
          e.words += ". Without the quotes, this machine has no such file either";
      } else if (missing) {
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
