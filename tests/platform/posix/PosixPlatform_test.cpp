#include "platform/posix/PosixPlatform.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "platform/Files.h"
#include "platform/Win32Conventions.h"
#include "support/BerlinOffsets.h"
#include "support/PosixFolderTest.h"
#include "support/ScopedTimeZone.h"

namespace pendulon {
namespace {

namespace fs = std::filesystem;

using PosixPlatformTest = PosixFolderTest;

TEST_F(PosixPlatformTest, FindsFilesAndFoldersWithTheirWriteTime) {
  Write("a.txt", "x");
  const timespec times[2] = {{1000000000, 0}, {1000000000, 500}};  // 2001-09-09 01:46:40 UTC
  ASSERT_EQ(utimensat(AT_FDCWD, Path("a.txt").c_str(), times, 0), 0);
  const FoundFile file = platform_.FindFile(Path("a.txt"));
  EXPECT_TRUE(file.found);
  EXPECT_FALSE(file.directory);
  EXPECT_EQ(file.lastWrite, (1000000000ull + 11644473600ull) * 10000000ull + 5);
  const FoundFile folder = platform_.FindFile(folder_);
  EXPECT_TRUE(folder.found);
  EXPECT_TRUE(folder.directory);
  EXPECT_FALSE(platform_.FindFile(Path("missing")).found);
  EXPECT_FALSE(platform_.FindFile("").found);
}

TEST_F(PosixPlatformTest, AppendsToAnExistingFileOnlyAndRenamesTheVeryFileItHasOpen) {
  PosixPlatform posix;
  Write("log", "a");
  Write("log.1", "old");
  const FileHandle file =
      posix.OpenFile(Path("log"), kAppendData | kDelete, kShareRead, kOpenExisting);
  ASSERT_NE(file, kInvalidFile);
  std::uint32_t written = 0;
  EXPECT_TRUE(posix.Write(file, "bc", 2, written));
  EXPECT_EQ(written, 2u);
  std::uint64_t size = 0;
  EXPECT_TRUE(posix.SizeOf(file, size));
  EXPECT_EQ(size, 3u);
  EXPECT_EQ(posix.KindOf(file), FileKind::kFile);
  // Another program moves the file away and begins a fresh one: the handle renames its own.
  fs::rename(Path("log"), Path("moved"));
  Write("log", "fresh");
  EXPECT_TRUE(posix.RenameOpenFile(file, Path("log.1")));
  posix.Close(file);
  const auto read = [&](const char* name) {
    std::ifstream in(Path(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  EXPECT_EQ(read("log.1"), "abc");
  EXPECT_EQ(read("log"), "fresh");
  EXPECT_FALSE(fs::exists(Path("moved")));
  EXPECT_EQ(posix.OpenFile(Path("none"), kAppendData, kShareRead, kOpenExisting), kInvalidFile);
  EXPECT_FALSE(fs::exists(Path("none")));
  EXPECT_EQ(posix.ProcessId(), static_cast<std::uint32_t>(getpid()));
  const std::uint64_t before = posix.Milliseconds();
  posix.Sleep(20);
  EXPECT_GE(posix.Milliseconds() - before, 20u);
}

TEST_F(PosixPlatformTest, LocalFileTimeShiftsByTheOffsetInForceNow) {
  ScopedTimeZone zone("UTC0");
  struct Case {
    const char* zone;
    std::int64_t offsetSeconds;
  } cases[] = {{"UTC0", 0}, {"XST-2", 7200}, {"YST+5", -18000}};
  for (const Case& c : cases) {
    zone.Set(c.zone);
    const FileTime utc = FileTimeFromUnix(1000000000, 0);
    FileTime local = 0;
    ASSERT_TRUE(platform_.ToLocalFileTime(utc, local)) << c.zone;
    EXPECT_EQ(static_cast<std::int64_t>(local - utc), c.offsetSeconds * 10000000) << c.zone;
    const SystemTime now = platform_.LocalTime();
    EXPECT_GE(now.year, 2024) << c.zone;
  }
  FileTime local = 0;
  EXPECT_FALSE(platform_.ToLocalFileTime(10, local));  // west of UTC, before 1601
}

TEST_F(PosixPlatformTest, OpensAsCreateFileWouldAndReadsWholeFiles) {
  Write("tasks.qef", "a\r\nb\rc\n");
  EXPECT_EQ(platform_.OpenFile(folder_, kGenericRead, kShareRead, kOpenExisting), kInvalidFile);
  EXPECT_EQ(platform_.OpenFile(Path("none"), kGenericRead, kShareRead, kOpenExisting),
            kInvalidFile);
  EXPECT_EQ(
      platform_.OpenFile(Path("tasks.qef"), kGenericRead | kGenericWrite, kShareNone, kCreateNew),
      kInvalidFile);
  TStringList lines;
  LoadLines(platform_, lines, Path("tasks.qef"));
  ASSERT_EQ(lines.Count(), 3);
  EXPECT_EQ(std::string(std::string_view(lines[2])), "c");

  const FileHandle created =
      platform_.OpenFile(Path("new.qef"), kGenericRead | kGenericWrite, kShareNone, kCreateNew);
  ASSERT_NE(created, kInvalidFile);
  EXPECT_EQ(platform_.Seek(created, 0, kSeekEnd), 0);
  platform_.Close(created);
  EXPECT_TRUE(fs::exists(Path("new.qef")));
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
