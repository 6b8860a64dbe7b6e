#pragma once
// A world with one process whose executable lies in C:\Tools, for tests of single operations.

#include <gtest/gtest.h>

#include "support/SimPlatform.h"
#include "support/SimWorld.h"

namespace pendulon::sim {

class SimTest : public ::testing::Test {
 protected:
  static constexpr const char* kExe = "C:\\Tools\\pendulon.exe";
  static constexpr const char* kTasks = "C:\\Tools\\lib\\tasks.qef";
  static constexpr const char* kLaunch = "C:\\Tools\\lib\\launch.qef";

  SimWorld world;
  SimPlatform platform{world, kExe, "\"C:\\Tools\\pendulon.exe\" \"-w quillmar\""};
};

}  // namespace pendulon::sim
