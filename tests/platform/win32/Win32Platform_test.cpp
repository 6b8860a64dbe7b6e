// The real platform under Windows (or Wine): files, stamps, windows, timers and the queue.

#include "platform/win32/Win32Platform.h"
#include "platform/win32/DriveErrors.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "launcher/Qeflib.h"
#include "platform/Exceptions.h"
#include "platform/Files.h"
#include "platform/Process.h"
#include "platform/Timer.h"
#include "platform/Win32Conventions.h"
#include "support/FileContract.h"

namespace pendulon {
namespace {

class Win32Test : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir = std::string(temp) + "pendulon-" + std::to_string(GetCurrentProcessId()) + "-" +
          info->name();
    CreateDirectoryA(dir.c_str(), nullptr);
  }
  void TearDown() override {
    for (const std::string& file : created) DeleteFileA(file.c_str());
    for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder)
      RemoveDirectoryA(folder->c_str());
    RemoveDirectoryA((dir + "\\lib").c_str());
    RemoveDirectoryA(dir.c_str());
  }

  std::string Write(const std::string& name, const std::string& bytes) {
    const std::string path = dir + "\\" + name;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    created.push_back(path);
    return path;
  }

  static void SetWriteTime(const std::string& path, WORD year, WORD second = 0) {
    SYSTEMTIME st = {};
    st.wYear = year;
    st.wMonth = 6;
    st.wDay = 15;
    st.wHour = 12;
    st.wSecond = second;
    FILETIME ft;
    SystemTimeToFileTime(&st, &ft);
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    SetFileTime(file, nullptr, nullptr, &ft);
    CloseHandle(file);
  }

  std::string Read(const std::string& path) {
    TStringList lines;
    LoadLines(platform, lines, path);
    std::string joined;
    for (int i = 0; i < lines.Count(); ++i) joined += std::string(lines[i]) + "|";
    return joined;
  }

  Win32Platform platform;
  std::string dir;
  std::vector<std::string> created;
  std::vector<std::string> folders;
};

TEST_F(Win32Test, LoadLinesFailsWhileAnotherHandleWritesTheFile) {
  const std::string path = Write("tasks.qef", "a\r\nb\r\n");
  EXPECT_EQ(Read(path), "a|b|");

  HANDLE writer = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  TStringList list;
  list.Add("kept");
  try {
    LoadLines(platform, list, path);
    ADD_FAILURE() << "loaded a file held open for writing";
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message(), "Cannot open file " + path);
  }
  EXPECT_EQ(list.Count(), 1);
  EXPECT_EQ(list[0], "kept");
  CloseHandle(writer);
  EXPECT_EQ(Read(path), "a|b|");
}

TEST_F(Win32Test, FileStampIsMinusOneWithoutAStampableFile) {
  const std::string old = Write("old.txt", "x");
  SetWriteTime(old, 1979);
  EXPECT_EQ(FileStamp(platform, old), -1);
  EXPECT_EQ(FileStamp(platform, dir), -1);
  EXPECT_EQ(FileStamp(platform, dir + "\\missing.txt"), -1);

  const std::string file = Write("new.txt", "x");
  SetWriteTime(file, 2026, 10);
  const std::int32_t stamp = FileStamp(platform, file);
  EXPECT_NE(stamp, -1);
  EXPECT_EQ(FileStamp(platform, file), stamp);
  SetWriteTime(file, 2026, 11);
  EXPECT_EQ(FileStamp(platform, file), stamp) << "same two-second step";
  SetWriteTime(file, 2026, 12);
  EXPECT_EQ(FileStamp(platform, file), stamp + 1);
}

TEST_F(Win32Test, TheWriteMarkSeesChangesWithinOneTwoSecondStep) {
  const std::string file = Write("mark.txt", "x");
  SetWriteTime(file, 2026, 10);
  const WriteMark first = WriteMarkOf(platform, file);
  EXPECT_TRUE(first.present);
  EXPECT_EQ(first.size, 1u);
  EXPECT_EQ(WriteMarkOf(platform, file), first);
  SetWriteTime(file, 2026, 11);
  EXPECT_NE(WriteMarkOf(platform, file), first) << "same stamp, another write time";
  Write("mark.txt", "xy");
  SetWriteTime(file, 2026, 10);
  EXPECT_NE(WriteMarkOf(platform, file), first) << "same write time, another size";
  EXPECT_FALSE(WriteMarkOf(platform, dir).present);
  EXPECT_FALSE(WriteMarkOf(platform, dir + "\\missing.txt").present);
}

TEST_F(Win32Test, CreateEmptyFileNeverEmptiesAnExistingFile) {
  const std::string missingFolder = dir + "\\nowhere\\launch.qef";
  CreateEmptyFile(platform, missingFolder);
  EXPECT_THROW(Read(missingFolder), EFOpenError);

  CreateDirectoryA((dir + "\\lib").c_str(), nullptr);
  const std::string launch = dir + "\\lib\\launch.qef";
  created.push_back(launch);
  CreateEmptyFile(platform, launch);
  EXPECT_EQ(FileStamp(platform, launch) != -1, true);
  EXPECT_EQ(Read(launch), "");

  // A file whose date cannot be stamped reads as absent, yet is never emptied.
  Write("lib\\launch.qef", "<X>\r\npath=C:\\x.exe\r\n</X>\r\n");
  SetWriteTime(launch, 1970);
  ASSERT_FALSE(FilePresent(platform, launch));
  CreateEmptyFile(platform, launch);
  const TQEFile reader(platform, launch);
  EXPECT_EQ(reader.GetPath("X"), "C:\\x.exe");
  EXPECT_EQ(Read(launch), "<X>|path=C:\\x.exe|</X>|");
}

class Win32Scratch final : public ScratchFolder {
 public:
  Win32Scratch(std::string root, std::vector<std::string>& files, std::vector<std::string>& folders)
      : root_(std::move(root)), files_(files) {
    CreateDirectoryA(root_.c_str(), nullptr);
    folders.push_back(root_);
    folders_ = &folders;
  }
  std::string Path(const std::string& name) override {
    files_.push_back(root_ + "\\" + name);  // whatever the case makes there goes at the end
    return files_.back();
  }
  void Write(const std::string& name, const std::string& bytes) override {
    HANDLE file =
        CreateFileA(Path(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
  }
  void MakeFolder(const std::string& name) override {
    CreateDirectoryA((root_ + "\\" + name).c_str(), nullptr);
    folders_->push_back(root_ + "\\" + name);
  }

 private:
  std::string root_;
  std::vector<std::string>& files_;
  std::vector<std::string>* folders_;
};

TEST_F(Win32Test, KeepsTheFileContract) {
  int n = 0;
  CheckFileContract(platform, [&](const char*) {
    return std::make_unique<Win32Scratch>(dir + "\\" + std::to_string(++n), created, folders);
  });
}

// Another executer rolls the log over meanwhile and begins a fresh one. The handle renames the
// file it measured, which now has another name (Windows), or refuses where it could only rename
// by the old name (Wine): never is the fresh log moved.
TEST_F(Win32Test, RenamesTheFileItMeasuredOrNone) {
  const std::string log = Write("log", "a\r\n");
  const std::string old = Write("log.1", "old");
  const std::string moved = dir + "\\moved";
  created.push_back(moved);
  constexpr std::uint32_t kShareAll = kShareRead | kShareWrite | kShareDelete;
  const FileHandle file = platform.OpenFile(log, kAppendData | kDelete, kShareAll, kOpenExisting);
  ASSERT_NE(file, kInvalidFile);
  ASSERT_TRUE(MoveFileExA(log.c_str(), moved.c_str(), 0));
  Write("log", "fresh\r\n");
  const bool renamed = platform.RenameOpenFile(file, old);
  platform.Close(file);
  EXPECT_EQ(Read(log), "fresh|");
  EXPECT_EQ(Read(renamed ? old : moved), "a|");
  EXPECT_EQ(platform.FindFile(moved).found, !renamed);
  EXPECT_EQ(platform.ProcessId(), GetCurrentProcessId());
}

// A handle that shares no deleting keeps one that would rename from opening, not one that
// appends. (That a read-only file opens for no appending cannot be shown here: Wine run as root
// opens it all the same. The simulated platform shows what follows from it.)
TEST_F(Win32Test, AFileHeldWithoutDeleteSharingOpensForAppendingButNotForRenaming) {
  constexpr std::uint32_t kShareAll = kShareRead | kShareWrite | kShareDelete;
  const std::string log = Write("log", "a");
  const HANDLE reader = CreateFileA(log.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  EXPECT_EQ(platform.OpenFile(log, kAppendData | kDelete, kShareAll, kOpenExisting), kInvalidFile);
  const FileHandle append = platform.OpenFile(log, kAppendData, kShareAll, kOpenExisting);
  EXPECT_NE(append, kInvalidFile);
  platform.Close(append);
  CloseHandle(reader);
}

// A device and a pipe open as CreateFileA opens them, and say that they are no file.
TEST_F(Win32Test, AnOpenHandleSaysWhetherItReachesAFile) {
  const FileHandle device = platform.OpenToRead("NUL", kShareRead);
  ASSERT_NE(device, kInvalidFile);
  EXPECT_EQ(platform.KindOf(device), FileKind::kDevice);
  platform.Close(device);
  const std::string name = "\\\\.\\pipe\\pendulon-test-" + std::to_string(GetCurrentProcessId());
  const HANDLE server =
      CreateNamedPipeA(name.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE, 1, 0, 0, 0, nullptr);
  ASSERT_NE(server, INVALID_HANDLE_VALUE);
  const FileHandle pipe = platform.OpenToRead(name, kShareRead);
  ASSERT_NE(pipe, kInvalidFile);
  EXPECT_EQ(platform.KindOf(pipe), FileKind::kPipe);
  platform.Close(pipe);
  CloseHandle(server);
}

// qefcheck reads nothing through a link; a plain file or folder must not look like one.
TEST_F(Win32Test, ALinkIsToldFromAFileWithoutFollowingIt) {
  const std::string file = Write("target.txt", "x");
  for (const std::string& plain : {file, dir, dir + "\\none"})
    EXPECT_FALSE(platform.LinkTarget(plain).has_value()) << plain;
  const std::string link = dir + "\\link.txt";
  // Wine 8 answers that it made the link, and makes none.
  if (!CreateSymbolicLinkA(link.c_str(), file.c_str(), 2 /* unprivileged create */) ||
      GetFileAttributesA(link.c_str()) == INVALID_FILE_ATTRIBUTES)
    GTEST_SKIP() << "this system makes no symbolic link here";
  created.push_back(link);
  EXPECT_EQ(platform.LinkTarget(link), file);
}

TEST(DriveErrors, ALookupOnADriveWithoutADiskFailsWithoutABox) {
  SetErrorMode(0);  // Wine starts a process without the boxes already
  FailDriveErrorsQuietly();
  EXPECT_NE(GetErrorMode() & SEM_FAILCRITICALERRORS, 0u);
}

TEST_F(Win32Test, TheShellAnswersFileNotFoundForAMissingFile) {
  const std::intptr_t answer =
      platform.ShellOpen(0, "open", dir + "\\no-such-program.exe", "", dir, kSwRestore);
  EXPECT_EQ(answer, 2) << "SE_ERR_FNF";
}

TEST_F(Win32Test, ExeDirectoryHoldsTheRunningExecutable) {
  const AnsiString folder = ExeDirectory(platform);
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  EXPECT_EQ(folder + std::string(path).substr(folder.size()), path);
  EXPECT_EQ(std::string(path)[folder.size()], '\\');
}

// The stand-ins for Windows (POSIX, the simulated machine) answer by these rules;
// here they are held against the real calls.
TEST_F(Win32Test, TheImitatedConventionsAnswerAsWindowsDoes) {
  // Every 9 days and 7 seconds from 1979 to the end of 2107, and the edges of the DOS range.
  // Not beyond: Wine 8 packs a later year by wrapping it round to 1980, where Windows refuses it
  // as the stand-ins do.
  std::vector<FileTime> times = {FileTimeFromUnix(315532799, 0), FileTimeFromUnix(315532800, 0),
                                 FileTimeFromUnix(4354819199, 0)};
  for (std::int64_t t = 283996800; t < 4354819200; t += 9 * 86400 + 7)
    times.push_back(FileTimeFromUnix(t, 0));
  for (const FileTime time : times) {
    std::uint16_t date = 0, timeOfDay = 0;
    WORD realDate = 0, realTime = 0;
    const bool ok = DosDateTimeOf(time, date, timeOfDay);
    const FILETIME real{static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)};
    ASSERT_EQ(FileTimeToDosDateTime(&real, &realDate, &realTime) != 0, ok) << time;
    if (ok) {
      ASSERT_EQ(date, realDate) << time;
      ASSERT_EQ(timeOfDay, realTime) << time;
    }
  }

  char real[MAX_PATH + 2];
  const std::string path(real, GetModuleFileNameA(nullptr, real, MAX_PATH));
  for (DWORD size = 1; size <= path.size() + 2; ++size) {
    char copied[MAX_PATH + 2];
    ASSERT_EQ(CopyModuleFileName(path, copied, size), GetModuleFileNameA(nullptr, real, size))
        << size;
    // A cut path may or may not end in a NUL (systems differ); the bytes before agree.
    const std::size_t agreed = std::min<std::size_t>(path.size(), size - 1);
    EXPECT_EQ(std::string(copied, agreed), std::string(real, agreed)) << size;
  }
}

struct NoClient final : WindowClient {
  void CloseRequested() override {}
  void SessionEnding() override {}
};

TEST_F(Win32Test, AWindowIsFoundByClassAndCaptionOnceItHasTheCaption) {
  NoClient client;
  const WindowHandle window = platform.NewWindow("PendulonTestClass", "", {}, &client);
  ASSERT_NE(window, 0u);
  EXPECT_FALSE(platform.WindowExists("PendulonTestClass", "Test caption"));
  platform.SetCaption(window, "Test caption");
  EXPECT_TRUE(platform.WindowExists("PendulonTestClass", "Test caption"));
  EXPECT_EQ(platform.Caption(window), "Test caption");
  EXPECT_FALSE(platform.WindowExists("OtherClass", "Test caption"));
  platform.DestroyWindow(window);
  EXPECT_FALSE(platform.WindowExists("PendulonTestClass", "Test caption"));
}

TEST_F(Win32Test, OnlyVisibleEnabledWindowsOfTheThreadTakeInput) {
  NoClient client;
  const WindowHandle shown = platform.NewWindow("PendulonInputClass", "shown", {}, &client);
  const WindowHandle hidden = platform.NewWindow("PendulonInputClass", "hidden", {}, &client);
  platform.SetVisible(shown, true);
  auto has = [&](WindowHandle w) {
    const auto all = platform.InputWindows();
    return std::find(all.begin(), all.end(), w) != all.end();
  };
  EXPECT_TRUE(has(shown));
  EXPECT_FALSE(has(hidden));
  platform.EnableInput(shown, false);
  EXPECT_FALSE(has(shown));
  platform.EnableInput(shown, true);
  EXPECT_TRUE(has(shown));
  platform.DestroyWindow(shown);
  platform.DestroyWindow(hidden);
}

TEST_F(Win32Test, TicksArriveThroughTheQueueAndTheQuitMessageComesFirst) {
  NoClient client;
  const WindowHandle window = platform.NewWindow("PendulonTimerClass", "", {}, &client);
  int ticks = 0;
  TTimer timer(platform, window, nullptr);
  timer.SetInterval(10);
  timer.SetOnTimer([&] { ++ticks; });
  const DWORD start = GetTickCount();
  while (ticks < 3 && GetTickCount() - start < 5000) {
    if (platform.PumpMessage() == Pumped::kNothing)
      platform.WaitForMessage();
  }
  EXPECT_EQ(ticks, 3);

  Sleep(50);  // a tick is waiting now
  platform.PostQuit();
  EXPECT_EQ(platform.PumpMessage(), Pumped::kQuit);
  const int before = ticks;
  EXPECT_EQ(platform.PumpMessage(), Pumped::kDispatched);
  EXPECT_EQ(ticks, before + 1);
  timer.SetEnabled(false);
  platform.DestroyWindow(window);
}

TEST_F(Win32Test, ASecondTakerOfTheSingleCopyLockWaitsUntilTheFirstReleasesIt) {
  auto first = platform.LockSingleCopy();
  ASSERT_NE(first, nullptr);
  std::atomic<bool> taken{false};
  std::thread second([&] {
    const auto lock = platform.LockSingleCopy();
    taken = true;
  });
  Sleep(500);
  EXPECT_FALSE(taken) << "the second taker waits while the first one holds the lock";
  first.reset();
  second.join();
  EXPECT_TRUE(taken) << "and takes it once it is released";
}

}  // namespace
}  // namespace pendulon
