// Fuzzes the cutting of arguments from a command line (ArgumentOf, FirstArgument), under a
// single-byte and two double-byte code pages. The whole input is the command line.

#include <climits>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "platform/Process.h"
#include "support/SimPlatform.h"
#include "support/SimWorld.h"

namespace pendulon::fuzz {
namespace {

constexpr int kIndexes = 6;

std::string WithoutQuotes(std::string_view s) {
  std::string out;
  for (const char c : s) {
    if (c != '"')
      out += c;
  }
  return out;
}

// Without quotes and double-byte characters an argument is simply the index-th maximal run of
// bytes above 0x20.
std::vector<std::string> Runs(std::string_view line) {
  std::vector<std::string> runs;
  std::size_t i = 0;
  while (runs.size() < kIndexes) {
    while (i < line.size() && static_cast<unsigned char>(line[i]) <= ' ') ++i;
    const std::size_t from = i;
    while (i < line.size() && static_cast<unsigned char>(line[i]) > ' ') ++i;
    runs.emplace_back(line.substr(from, i - from));
  }
  return runs;
}

}  // namespace
}  // namespace pendulon::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pendulon;
  using namespace pendulon::fuzz;
  const std::string commandLine(reinterpret_cast<const char*>(data), size);
  const std::string_view visible = UpToNul(commandLine);
  const std::string visibleWithoutQuotes = WithoutQuotes(visible);
  const bool quoted = visible.find('"') != std::string_view::npos;

  sim::SimWorld world;
  sim::SimPlatform platform(world, "C:\\Tools\\pendulon.exe", commandLine);
  std::vector<std::string> singleByte;
  for (const CodePage& page : CodePages()) {
    world.leadBytes = page.leadBytes;
    std::vector<std::string> args;
    for (int index = 0; index < kIndexes; ++index) {
      args.push_back(ArgumentOf(platform, commandLine, index));
    }
    FUZZ_REQUIRE(FirstArgument(platform, platform.CommandLine()) == args[1]);
    FUZZ_REQUIRE(ArgumentOf(platform, commandLine, -1).empty());
    // Fewer arguments than bytes: the walk must stop at the end, not count to the index.
    FUZZ_REQUIRE(ArgumentOf(platform, commandLine, INT_MAX).empty());

    for (int i = 0; i < kIndexes; ++i) {
      const std::string& arg = args[static_cast<std::size_t>(i)];
      // Bytes are only dropped, never made up or reordered, and only quotes are dropped from
      // within one stretch of the line.
      FUZZ_REQUIRE(IsSubsequence(arg, visible));
      FUZZ_REQUIRE(visibleWithoutQuotes.find(WithoutQuotes(arg)) != std::string::npos);
      // An empty argument means the line has run out.
      FUZZ_REQUIRE(i == 0 || !args[static_cast<std::size_t>(i) - 1].empty() || arg.empty());
      // A quote survives only as the second byte of a double-byte character.
      for (std::size_t j = 0; j < arg.size(); ++j) {
        if (arg[j] == '"') {
          FUZZ_REQUIRE(j > 0 && page.IsLead(arg[j - 1]));
        }
      }
    }

    const bool doubleByte = HasLeadByte(visible, page);
    if (page.leadBytes.empty()) {
      singleByte = args;
    } else if (!doubleByte) {
      // A code page only matters where its lead bytes occur.
      FUZZ_REQUIRE(args == singleByte);
    }
    if (!quoted && !doubleByte) {
      FUZZ_REQUIRE(args == Runs(visible));
    }
  }
  return 0;
}
