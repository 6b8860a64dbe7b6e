#pragma once
// A world with one process whose executable lies in C:\Tools, for tests of single operations.

#include <gtest/gtest.h>

#include "support/SimPlatform.h"
#include "support/SimWorld.h"

namespace pendulon::sim {

inline constexpr const char* kExe = "C:\\Tools\\pendulon.exe";
inline constexpr const char* kTasks = "C:\\Tools\\lib\\tasks.qef";
inline constexpr const char* kLaunch = "C:\\Tools\\lib\\launch.qef";

class SimTest : public ::testing::Test {
 protected:
  SimWorld world;
  SimPlatform platform{world, kExe, "\"C:\\Tools\\pendulon.exe\" \"-w quillmar\""};
};

}  // namespace pendulon::sim
