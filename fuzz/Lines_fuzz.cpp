// Fuzzes the splitting of a file into lines: AppendLines on the bytes, and LoadLines on the same
// bytes written to the simulated file system. Both feed every task and launch file.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "platform/Files.h"
#include "support/SimPlatform.h"
#include "support/SimWorld.h"

namespace pendulon::fuzz {
namespace {

// The lines from index first on, joined with their line ends, must give the text up to its
// first NUL, each line end being CR LF (taken whole), a lone CR or a lone LF. No line begins at
// the very end, so a final line end adds no empty line.
void CheckLines(std::string_view text, const TStringList& lines, int first) {
  const std::string_view body = UpToNul(text);
  std::size_t pos = 0;
  for (int i = first; i < lines.Count(); ++i) {
    const std::string_view line = lines[i];
    FUZZ_REQUIRE(line.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos);
    FUZZ_REQUIRE(pos < body.size());
    FUZZ_REQUIRE(body.substr(pos, line.size()) == line);
    pos += line.size();
    if (pos == body.size()) {
      FUZZ_REQUIRE(i == lines.Count() - 1);
    } else if (body.substr(pos, 2) == "\r\n") {
      pos += 2;
    } else {
      FUZZ_REQUIRE(body[pos] == '\r' || body[pos] == '\n');
      ++pos;
    }
  }
  FUZZ_REQUIRE(pos == body.size());
}

}  // namespace
}  // namespace pendulon::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pendulon;
  using namespace pendulon::fuzz;
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  // Appending keeps what the list held.
  TStringList appended;
  appended.Add("held before");
  AppendLines(text, appended);
  FUZZ_REQUIRE(appended.Count() >= 1 && appended[0] == "held before");
  CheckLines(text, appended, 1);

  if (size == 0) {
    // An empty text may come as a view with no storage behind it at all.
    TStringList none;
    AppendLines(std::string_view(), none);
    FUZZ_REQUIRE(none.Count() == 0);
  }

  // Through the file system, LoadLines must replace the list with exactly the same lines and
  // leave no file open.
  sim::SimWorld world;
  sim::SimPlatform platform(world, "C:\\Tools\\pendulon.exe", "pendulon.exe");
  const char* const path = "C:\\Tools\\lib\\tasks.qef";
  world.WriteFile(path, std::string(text));
  TStringList loaded;
  loaded.Add("replaced");
  LoadLines(platform, loaded, path);
  FUZZ_REQUIRE(loaded.Count() == appended.Count() - 1);
  for (int i = 0; i < loaded.Count(); ++i) {
    FUZZ_REQUIRE(loaded[i] == appended[i + 1]);
  }
  FUZZ_REQUIRE(platform.OpenFiles() == 0);
  return 0;
}
