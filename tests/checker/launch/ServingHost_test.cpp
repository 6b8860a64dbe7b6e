#include "checker/launch/ServingHost.h"

#include "launcher/Qeflib.h"
#include "support/SimFixture.h"

namespace pendulon::sim {
namespace {

using ServingHostTest = SimTest;

// The explainer hands the executer's reader part of the launch file: the reader must see only
// that part, with the file's own date, while every other path reads from the disk.
TEST_F(ServingHostTest, ServesOnePathFromMemoryAndTheRestFromTheDisk) {
  world.WriteFile(kLaunch, "<Whole>\r\npath=C:\\a.exe\r\n</Whole>\r\n");
  world.WriteFile(kTasks, "* * * * * Whole");
  ServingHost served(platform);
  const std::string part = "<Part>\r\npath=C:\\b.exe\r\n</Part>\r\n";
  served.Serve(kLaunch, part, 1234);

  const TQEFile reader(served, kLaunch);
  EXPECT_EQ(reader.GetPath("Part"), "C:\\b.exe");
  EXPECT_EQ(reader.GetPath("Whole"), "");
  const FoundFile found = served.FindFile(kLaunch);
  EXPECT_EQ(found.lastWrite, 1234u);
  EXPECT_EQ(found.size, part.size());
  // A served handle never reaches the system: its size is the part's.
  const FileHandle handle = served.OpenToRead(kLaunch, kShareRead);
  std::uint64_t size = 0;
  EXPECT_TRUE(served.SizeOf(handle, size));
  EXPECT_EQ(size, part.size());
  served.Close(handle);

  EXPECT_EQ(TQEFile(served, kTasks).Lines()[0], "* * * * * Whole");
  EXPECT_EQ(TQEFile(platform, kLaunch).GetPath("Whole"), "C:\\a.exe");
  EXPECT_EQ(platform.OpenFiles(), 0);
}

}  // namespace
}  // namespace pendulon::sim
