#pragma once
// A world with one process whose executable lies in C:\Tools, for tests of single operations.

#include <gtest/gtest.h>

#include "support/SimPaths.h"
#include "support/SimPlatform.h"
#include "support/SimWorld.h"

namespace pendulon::sim {

class SimTest : public ::testing::Test {
 protected:
  SimWorld world;
  SimPlatform platform{world, kExe, "\"C:\\Tools\\pendulon.exe\" \"-w quillmar\""};
};

}  // namespace pendulon::sim
