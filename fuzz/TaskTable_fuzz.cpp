// Fuzzes the task table: SplitTaskLine on every line, and the minute walk over the whole table
// at two clock readings, once with launches that return at once and once with launches that
// reload or free the table or let the clock run on while they wait, as a shown box does.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "platform/Exceptions.h"
#include "platform/Files.h"
#include "scheduler/MinuteMatcher.h"
#include "scheduler/TaskLine.h"
#include "support/SimPlatform.h"
#include "support/SimWorld.h"

namespace pendulon::fuzz {
namespace {

constexpr int kLinesWithErrorChecks = 4;
constexpr int kMostReloads = 4;

// The index a list error names, from its message "List index out of bounds (<index>)".
int ErrorIndex(const EStringListError& error) {
  const std::string prefix = "List index out of bounds (";
  const std::string& message = error.Message();
  FUZZ_REQUIRE(IsPrefix(prefix, message) && message.back() == ')');
  return std::atoi(message.c_str() + prefix.size());
}

void CheckSplit(std::string_view entry, bool checkErrors) {
  TaskFields fields;
  SplitTaskLine(entry, fields);
  const int count = fields.Count();
  FUZZ_REQUIRE(count >= 0 && count <= 6);
  std::string joined;
  for (int i = 0; i < count; ++i) {
    const std::string_view field = fields.Get(i);
    // Views into the entry itself, never into a copy that is gone.
    FUZZ_REQUIRE(field.data() >= entry.data() &&
                 field.data() + field.size() <= entry.data() + entry.size());
    if (i > 0)
      joined += ' ';
    joined += field;
  }
  FUZZ_REQUIRE(IsPrefix(joined, entry));
  if (count == 6) {
    FUZZ_REQUIRE(joined == entry);
    FUZZ_REQUIRE(!fields.Get(TaskFields::kItem).empty());
    return;
  }
  // Short of an item, every field was ended by a space and the text after the last is dropped.
  std::size_t spaces = 0;
  for (const char c : entry) spaces += c == ' ';
  FUZZ_REQUIRE(static_cast<std::size_t>(count) == (spaces < 5 ? spaces : 5));
  FUZZ_REQUIRE(count == 0 || IsPrefix(joined + ' ', entry));
  if (!checkErrors)
    return;  // a throw costs more than the rest; a few lines per input are plenty
  for (const int missing : {count, -1}) {
    try {
      fields.Get(missing);
      FUZZ_REQUIRE(!"a missing field was given");
    } catch (const EStringListError& e) {
      FUZZ_REQUIRE(ErrorIndex(e) == missing);
    }
  }
}

void Walk(sim::SimPlatform& platform, const std::vector<std::string>& all, bool hostile) {
  auto table = std::make_unique<TStringList>();
  for (const std::string& line : all) table->Add(line);
  const int lines = table->Count();
  int launches = 0, reloads = 0;
  // A reload drops lines from the front only, so launches still come in file order and each
  // search for the entry a name came from goes on from the last one found.
  std::size_t from = 0;

  const TaskRunner run = [&](const AnsiString& name, int) {
    ++launches;
    FUZZ_REQUIRE(!name.empty());
    while (from < all.size() && !IsSuffix(name, all[from])) ++from;
    FUZZ_REQUIRE(from < all.size());
    ++from;
    if (!hostile)
      return true;
    // The name's length picks what happens while the launch waits, so the fuzzer can steer it.
    switch (name.size() % 4) {
      case 1: {
        // The task file changed: the table is swapped for a fresh one, one line shorter than
        // the last, and the old lines are freed at once. A few reloads show it; more would
        // only make long inputs slow.
        if (reloads == kMostReloads)
          break;
        TStringList shorter;
        for (std::size_t i = static_cast<std::size_t>(++reloads); i < all.size(); ++i) {
          shorter.Add(all[i]);
        }
        table->Swap(shorter);
        break;
      }
      case 2:
        table.reset();  // the program is closing
        break;
      case 3:
        platform.Sleep(59 * 1000);  // a box stays open; the minute moves on
        break;
      default:
        break;
    }
    return true;
  };

  try {
    WalkTasks(platform, table, run);
    FUZZ_REQUIRE(launches <= lines);
  } catch (const EStringListError& e) {
    const int index = ErrorIndex(e);
    FUZZ_REQUIRE(index >= 0 && index <= 5);
  }
}

}  // namespace
}  // namespace pendulon::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pendulon;
  using namespace pendulon::fuzz;
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  TStringList table;
  AppendLines(text, table);
  std::vector<std::string> all;
  for (int i = 0; i < table.Count(); ++i) {
    CheckSplit(table[i], i < kLinesWithErrorChecks);
    all.emplace_back(table[i]);
  }

  sim::SimWorld world;
  sim::SimPlatform platform(world, "C:\\Tools\\pendulon.exe", "pendulon.exe");
  // A Thursday morning (weekday 5), then the turn of a year on a Sunday (weekday 1).
  world.SetLocalTime(2026, 3, 5, 10, 5, 0);
  Walk(platform, all, false);
  Walk(platform, all, true);
  world.SetLocalTime(2028, 12, 31, 23, 59, 0);
  Walk(platform, all, false);
  Walk(platform, all, true);
  return 0;
}
