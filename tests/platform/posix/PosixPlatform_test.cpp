#include "platform/posix/PosixPlatform.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "platform/Files.h"
#include "platform/Win32Conventions.h"
#include "support/BerlinOffsets.h"
#include "support/FileContract.h"
#include "support/PosixFolderTest.h"
#include "support/ScopedTimeZone.h"

namespace pendulon {
namespace {

namespace fs = std::filesystem;

using PosixPlatformTest = PosixFolderTest;

TEST_F(PosixPlatformTest, FindsAFileWithItsWriteTimeAsAFileTime) {
  Write("a.txt", "x");
  const timespec times[2] = {{1000000000, 0}, {1000000000, 500}};  // 2001-09-09 01:46:40 UTC
  ASSERT_EQ(utimensat(AT_FDCWD, Path("a.txt").c_str(), times, 0), 0);
  EXPECT_EQ(platform_.FindFile(Path("a.txt")).lastWrite,
            (1000000000ull + 11644473600ull) * 10000000ull + 5);
  EXPECT_FALSE(platform_.FindFile("").found);
}

// qefcheck --follow waits between looks at the log.
TEST_F(PosixPlatformTest, SleepsAtLeastTheTimeAsked) {
  const auto before = std::chrono::steady_clock::now();
  platform_.Sleep(20);
  EXPECT_GE(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(20));
}

class PosixScratch final : public ScratchFolder {
 public:
  explicit PosixScratch(std::string root) : root_(std::move(root)) {
    fs::create_directories(root_);
  }
  std::string Path(const std::string& name) override { return root_ + "/" + name; }
  void Write(const std::string& name, const std::string& bytes) override {
    std::ofstream(Path(name), std::ios::binary) << bytes;
  }
  void MakeFolder(const std::string& name) override { fs::create_directory(Path(name)); }

 private:
  std::string root_;
};

TEST_F(PosixPlatformTest, KeepsTheReadingContract) {
  int n = 0;
  CheckReadingContract(platform_, [&](const char*) {
    return std::make_unique<PosixScratch>(Path(std::to_string(++n)));
  });
}

TEST_F(PosixPlatformTest, ModuleFileNameIsTheRunningProgramCutAsWindowsCutsIt) {
  const std::string self = fs::read_symlink("/proc/self/exe").string();
  char buffer[4096];
  EXPECT_EQ(platform_.ModuleFileName(buffer, sizeof buffer), self.size());
  EXPECT_EQ(std::string(buffer), self);
  char small[4];
  EXPECT_EQ(platform_.ModuleFileName(small, sizeof small), 4u);
  EXPECT_EQ(std::string(small), self.substr(0, 3));
}

// The C library's zone: a clock with summer time.
TEST_F(PosixPlatformTest, ZoneOffsetFollowsTheCLibrarysZone) {
  const ScopedTimeZone zone("Europe/Berlin");
  for (const ZoneOffsetAt& at : kBerlinOffsets2027)
    EXPECT_EQ(platform_.UtcOffsetMinutesAt(at.utcSeconds), at.offsetMinutes) << at.utcSeconds;
}

}  // namespace
}  // namespace pendulon
