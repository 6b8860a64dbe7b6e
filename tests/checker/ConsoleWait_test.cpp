#include "checker/ConsoleWait.h"

#include <gtest/gtest.h>

namespace pendulon {
namespace {

// Opened from Explorer the console is qefcheck's alone; from a prompt or a script it is shared.
TEST(ConsoleWait, WaitsOnlyInAConsoleOfItsOwnThatItWritesToAndReadsFrom) {
  struct Case {
    int processes;
    bool output, input;
    bool waits;
  } const cases[] = {
      {1, true, true, true},     // double-clicked in Explorer
      {2, true, true, false},    // from a command prompt
      {3, true, true, false},    // from a script the prompt started
      {1, false, true, false},   // its output redirected to a file
      {1, true, false, false},   // nothing to read Enter from
      {0, false, false, false},  // no console at all
  };
  for (const Case& c : cases)
    EXPECT_EQ(WaitsBeforeClosing(c.processes, c.output, c.input), c.waits)
        << c.processes << " " << c.output << " " << c.input;
}

}  // namespace
}  // namespace pendulon
