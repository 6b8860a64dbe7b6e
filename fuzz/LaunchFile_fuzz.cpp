// Fuzzes the launch-file reader TQEFile. The input's first line is a section name, its second a
// key, the rest the launch file; the names the file's own tag lines carry and the keys the
// launcher asks for are looked up as well, under a single-byte and two double-byte code pages.
// qefcheck's explanation of each name is held against the executer's launch of it.

#include <climits>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "checker/launch/LaunchExplanation.h"
#include "launcher/LaunchItem.h"
#include "launcher/Qeflib.h"
#include "platform/Files.h"
#include "support/SimPlatform.h"
#include "support/SimWorld.h"

namespace pendulon::fuzz {
namespace {

const std::string kMenuItem = "<MenuItem";
constexpr std::size_t kMostNamesFromTags = 6;

// The first line at or after from that begins with prefix, or -1, by a plain scan.
std::int32_t FirstBeginning(const TStringList& lines, const std::string& prefix,
                            std::int64_t from) {
  for (std::int64_t i = from < 0 ? 0 : from; i < lines.Count(); ++i) {
    if (IsPrefix(prefix, lines[static_cast<int>(i)]))
      return static_cast<std::int32_t>(i);
  }
  return -1;
}

void CheckFindLine(const TQEFile& file, const std::string& prefix) {
  const std::int32_t count = file.Lines().Count();
  for (const std::int32_t start :
       {INT_MIN, -1, 0, 1, count / 2, count - 1, count, count + 1, INT_MAX}) {
    FUZZ_REQUIRE(file.FindLine(prefix, start) == FirstBeginning(file.Lines(), prefix, start));
  }
}

struct Section {
  std::int32_t open = -7, close = -7, end = -7;
};

// The tag lines and the header's end; none of them depends on the code page.
Section CheckSection(const TQEFile& file, const std::string& name) {
  const TStringList& lines = file.Lines();
  Section section;
  std::int32_t& open = section.open;
  std::int32_t& close = section.close;
  std::int32_t& end = section.end;
  open = file.FindTag(name, true);
  close = file.FindTag(name, false);
  end = file.HeaderEnd(name);
  // Each tag is searched from the top on its own; the closing one only when an opening one is.
  FUZZ_REQUIRE(open == FirstBeginning(lines, "<" + name + ">", 0));
  FUZZ_REQUIRE(close == (open == -1 ? -1 : FirstBeginning(lines, "</" + name + ">", 0)));

  FUZZ_REQUIRE((end == -1) == (open == -1 || close == -1));
  if (end != -1) {
    FUZZ_REQUIRE(end >= 0 && end < lines.Count());
    if (open + 1 < close) {
      // The header runs from the line after the opening tag to the first "<MenuItem" line or
      // the closing tag, whichever comes first.
      FUZZ_REQUIRE(end >= open && end < close);
      for (std::int32_t i = open + 1; i <= end; ++i) {
        FUZZ_REQUIRE(!IsPrefix(kMenuItem, lines[i]));
      }
      FUZZ_REQUIRE(end + 1 == close || IsPrefix(kMenuItem, lines[end + 1]));
    } else {
      FUZZ_REQUIRE(end == 0);
    }
  }
  return section;
}

// A header line read by the rules rather than by TQEFile: its key is the text before the first
// "=" that begins a character and its value the rest; a line without one has the empty key and
// is its own value.
struct KeyValue {
  std::string_view key, value;
};

KeyValue SplitHeaderLine(std::string_view line, const CodePage& page) {
  std::size_t at = 0;
  while (at < line.size() && line[at] != '=') {
    at += page.IsLead(line[at]) && at + 1 < line.size() && line[at + 1] != '\0' ? 2 : 1;
  }
  if (at >= line.size())
    return KeyValue{std::string_view(), line};
  return KeyValue{line.substr(0, at), line.substr(at + 1)};
}

void CheckValues(const TQEFile& file, const std::string& name, const Section& section,
                 const std::vector<std::string>& keys, const CodePage& page) {
  const TStringList& lines = file.Lines();
  std::vector<KeyValue> header;
  for (std::int32_t i = section.open + 1; !name.empty() && i <= section.end; ++i) {
    header.push_back(SplitHeaderLine(lines[i], page));
  }
  for (const std::string& key : keys) {
    const std::string value = file.GetValue(name, key);
    // The first header line with the key answers; without a section or a name, nothing does.
    std::string_view expected;
    for (const KeyValue& line : header) {
      if (line.key == key) {
        expected = line.value;
        break;
      }
    }
    FUZZ_REQUIRE(value == expected);
    if (value.empty())
      continue;
    bool fromHeader = false;
    for (std::int32_t i = section.open + 1; i <= section.end; ++i) {
      fromHeader =
          fromHeader || (key.empty() ? IsSuffix(value, lines[i]) : lines[i] == key + "=" + value);
    }
    FUZZ_REQUIRE(fromHeader);
  }
  FUZZ_REQUIRE(file.GetPath(name) == file.GetValue(name, "path"));
}

// The names of the sections the file's tag lines open or close, as "<Name>" and "</Name>".
std::vector<std::string> NamesFromTags(const TStringList& lines) {
  std::vector<std::string> names;
  for (int i = 0; i < lines.Count() && names.size() < kMostNamesFromTags; ++i) {
    const std::string_view line = lines[i];
    const std::size_t close = line.find('>');
    if (line.empty() || line[0] != '<' || close == std::string_view::npos)
      continue;
    const std::size_t from = line.size() > 1 && line[1] == '/' ? 2 : 1;
    if (close >= from)
      names.emplace_back(line.substr(from, close - from));
  }
  return names;
}

// What the executer does with the item, read from the whole file: the request, or why not.
class Outcome final : public LaunchObserver {
 public:
  void Launched(const AnsiString&, const LaunchRequest& r, std::intptr_t, std::uint64_t) override {
    request = r;
  }
  void LaunchedNothing(const AnsiString&, const AnsiString& why) override { reason = why; }
  std::optional<LaunchRequest> request;
  std::string reason;
};

// qefcheck hands each item's reader only the lines that decide its section: it must read what
// the executer reads in the whole file, and find the same fault, on the same lines.
void CheckExplainer(sim::SimPlatform& platform, const std::vector<std::string>& names) {
  ServingHost served(platform);
  LaunchExplainer explainer(served, "C:\\Tools\\lib\\launch.qef", true);
  for (const std::string& name : names) {
    Outcome outcome;
    LaunchItem(platform, 0, "C:\\Tools\\lib\\launch.qef", name, outcome);
    const LaunchExplanation& e = explainer.Explain(name);
    FUZZ_REQUIRE(outcome.request.has_value() == e.Requested());
    if (outcome.request) {
      FUZZ_REQUIRE(outcome.request->verb == e.request.verb &&
                   outcome.request->file == e.request.file &&
                   outcome.request->parameters == e.request.parameters &&
                   outcome.request->directory == e.request.directory);
    } else {
      FUZZ_REQUIRE(outcome.reason == e.words);
    }
  }
}

}  // namespace
}  // namespace pendulon::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pendulon;
  using namespace pendulon::fuzz;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t nameEnd = input.find('\n');
  const std::string name(input.substr(0, nameEnd));
  std::string_view rest = nameEnd == std::string_view::npos ? "" : input.substr(nameEnd + 1);
  const std::size_t keyEnd = rest.find('\n');
  const std::string key(rest.substr(0, keyEnd));
  const std::string bytes(keyEnd == std::string_view::npos ? "" : rest.substr(keyEnd + 1));

  sim::SimWorld world;
  sim::SimPlatform platform(world, "C:\\Tools\\pendulon.exe", "pendulon.exe");
  const char* const path = "C:\\Tools\\lib\\launch.qef";
  world.WriteFile(path, bytes);
  const TQEFile file(platform, path);

  TStringList expected;
  AppendLines(bytes, expected);
  FUZZ_REQUIRE(file.Lines().Count() == expected.Count());

  std::vector<std::string> names = NamesFromTags(file.Lines());
  names.push_back(name);
  names.push_back("");
  const std::vector<std::string> keys = {key, "path", "dir", "params", "action", ""};
  std::vector<Section> sections;
  for (const std::string& section : names) sections.push_back(CheckSection(file, section));
  for (const CodePage& page : CodePages()) {
    // Lead bytes only matter where they occur; TextPos is fuzzed for that on its own.
    if (!page.leadBytes.empty() && !HasLeadByte(bytes, page))
      continue;
    world.leadBytes = page.leadBytes;
    for (std::size_t i = 0; i < names.size(); ++i)
      CheckValues(file, names[i], sections[i], keys, page);
    CheckExplainer(platform, names);
  }
  for (const std::string& prefix : {std::string("<"), std::string("</"), kMenuItem, name}) {
    CheckFindLine(file, prefix);
  }
  FUZZ_REQUIRE(platform.OpenFiles() == 0);
  return 0;
}
