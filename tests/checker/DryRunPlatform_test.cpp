#include "checker/DryRunPlatform.h"

#include "launcher/Qeflib.h"
#include "platform/Exceptions.h"
#include "support/SimFixture.h"

namespace pendulon::sim {
namespace {

class DryRunPlatformTest : public SimTest {
 protected:
  DryRunPlatform dry{platform};
};

TEST_F(DryRunPlatformTest, RefusesEveryOpenThatCouldWriteOrCreate) {
  world.WriteFile(kTasks, "keep");
  struct Case {
    const char* path;
    std::uint32_t access, disposition;
  } cases[] = {
      {kTasks, kGenericRead | kGenericWrite, kOpenExisting},
      {kTasks, kGenericWrite, kOpenExisting},
      {kTasks, kGenericRead, kCreateAlways},
      {kTasks, kGenericRead, kCreateNew},
      {kLaunch, kGenericRead | kGenericWrite, kCreateNew},
      {kLaunch, kGenericRead, kCreateAlways},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(dry.OpenFile(c.path, c.access, kShareRead, c.disposition), kInvalidFile) << c.path;
  }
  EXPECT_EQ(world.Contents(kTasks), "keep");
  EXPECT_FALSE(world.Exists(kLaunch));
  const FileHandle read = dry.OpenFile(kTasks, kGenericRead, kShareRead, kOpenExisting);
  EXPECT_NE(read, kInvalidFile);
  dry.Close(read);

  // The launch-file reader creates a missing file; through the dry run it cannot.
  EXPECT_THROW(TQEFile(dry, kLaunch), EFOpenError);
  EXPECT_FALSE(world.Exists(kLaunch));
}

TEST_F(DryRunPlatformTest, RefusesAppendingAndRenaming) {
  world.WriteFile(kTasks, "keep");
  for (const std::uint32_t disposition : {kOpenExisting, kOpenAlways}) {
    EXPECT_EQ(dry.OpenFile(kTasks, kAppendData, kShareRead, disposition), kInvalidFile);
  }
  EXPECT_EQ(dry.OpenFile(kTasks, kGenericRead | kDelete, kShareRead, kOpenExisting), kInvalidFile);
  const FileHandle read = dry.OpenFile(kTasks, kGenericRead, kShareRead, kOpenExisting);
  std::uint32_t written = 1;
  EXPECT_FALSE(dry.Write(read, "x", 1, written));
  EXPECT_EQ(written, 0u);
  EXPECT_FALSE(dry.RenameOpenFile(read, kLaunch));
  dry.Close(read);
  EXPECT_EQ(world.Contents(kTasks), "keep");
  EXPECT_FALSE(world.Exists(kLaunch));
}

}  // namespace
}  // namespace pendulon::sim
