// Fuzzes the text helpers the readers lean on: DirectoryOf and TextPos, each under a
// single-byte and two double-byte code pages. The input up to its first LF is one text, the rest
// another; DirectoryOf also takes the input whole.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "platform/Text.h"
#include "support/SimPlatform.h"
#include "support/SimWorld.h"

namespace pendulon::fuzz {
namespace {

// The first occurrence of sub in s that begins a character, 1-based, or 0; found by trying every
// offset, which is slow but plainly right.
int FirstWholeOccurrence(std::string_view sub, std::string_view s, const CodePage& page) {
  if (sub.empty() || s.empty() || sub.size() > s.size())
    return 0;
  const std::vector<bool> starts = CharStarts(s, page);
  for (std::size_t j = 0; j + sub.size() <= s.size(); ++j) {
    if (starts[j] && s.substr(j, sub.size()) == sub)
      return static_cast<int>(j + 1);
  }
  return 0;
}

void CheckTextPos(ProcessInfo& process, const std::string& sub, const std::string& s,
                  const CodePage& page) {
  const int pos = TextPos(process, sub, s);
  FUZZ_REQUIRE(pos == FirstWholeOccurrence(sub, s, page));
  if (page.leadBytes.empty() && !sub.empty()) {
    FUZZ_REQUIRE(pos == (s.find(sub) == std::string::npos ? 0 : static_cast<int>(s.find(sub)) + 1));
  }
}

void CheckDirectoryOf(ProcessInfo& process, const std::string& path, const CodePage& page) {
  const std::string dir = DirectoryOf(process, path);
  FUZZ_REQUIRE(IsPrefix(dir, path));
  // The last separator that begins a character, 1-based; 0 for none.
  const std::vector<bool> starts = CharStarts(path, page);
  std::size_t last = 0;
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (starts[i] && (path[i] == '\\' || path[i] == ':'))
      last = i + 1;
  }
  if (last == 0) {
    FUZZ_REQUIRE(dir.empty());
    return;
  }
  // The directory runs up to that separator; only a "\" may be dropped, never a ":".
  FUZZ_REQUIRE(dir.size() == last || (dir.size() + 1 == last && path[last - 1] == '\\'));
  if (dir.size() + 1 == last) {
    // Kept after a drive colon or another separator, so "C:\" and "\\server" stay whole.
    FUZZ_REQUIRE(last > 1);
    const bool previousIsSeparator =
        starts[last - 2] && (path[last - 2] == '\\' || path[last - 2] == ':');
    FUZZ_REQUIRE(!previousIsSeparator);
  }
}

}  // namespace
}  // namespace pendulon::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pendulon;
  using namespace pendulon::fuzz;
  const std::string whole(reinterpret_cast<const char*>(data), size);
  const std::size_t lf = whole.find('\n');
  const std::string first = whole.substr(0, lf);
  const std::string rest = lf == std::string::npos ? std::string() : whole.substr(lf + 1);

  sim::SimWorld world;
  sim::SimPlatform platform(world, "C:\\Tools\\pendulon.exe", "pendulon.exe");
  for (const CodePage& page : CodePages()) {
    world.leadBytes = page.leadBytes;
    CheckTextPos(platform, first, rest, page);
    CheckTextPos(platform, rest, first, page);
    CheckTextPos(platform, "=", rest, page);
    CheckDirectoryOf(platform, whole, page);
    CheckDirectoryOf(platform, first, page);
    CheckDirectoryOf(platform, rest, page);
  }

  return 0;
}
