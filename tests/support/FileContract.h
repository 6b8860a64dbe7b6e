#pragma once
// The file contract that every platform keeps, as Windows' CreateFileA and its kin keep it: one
// table of cases for reading, run by the POSIX suite on Linux, and one for writing besides, run
// with the first by the Win32 suite under Windows (or Wine) and on the simulated platform, so
// that none can drift from the others.

#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "platform/FileReader.h"
#include "platform/Files.h"
#include "platform/HostSystem.h"
#include "platform/StringList.h"

namespace pendulon {

// What a case needs of a suite's scratch folder.
class ScratchFolder {
 public:
  virtual std::string Path(const std::string& name) = 0;
  virtual void Write(const std::string& name, const std::string& bytes) = 0;
  virtual void MakeFolder(const std::string& name) = 0;

 protected:
  ~ScratchFolder() = default;
};

template <class Files>
struct FileContractCase {
  const char* name;
  void (*check)(Files& files, ScratchFolder& folder);
};

inline std::string ReadWholeFile(FileReader& files, const std::string& path) {
  const FileHandle file = files.OpenToRead(path, kShareRead);
  const FileCloser closer(files, file);
  std::string bytes(64, '\0');
  std::uint32_t read = 0;
  return file != kInvalidFile && files.Read(file, bytes.data(), 64, read) ? bytes.substr(0, read)
                                                                          : "(cannot read)";
}

inline const FileContractCase<FileReader> kReadingContract[] = {
    {"a file is found with its size, a folder as a folder, a missing name not at all",
     [](FileReader& files, ScratchFolder& folder) {
       folder.Write("a.txt", "xyz");
       folder.MakeFolder("sub");
       const FoundFile file = files.FindFile(folder.Path("a.txt"));
       EXPECT_TRUE(file.found && !file.directory);
       EXPECT_EQ(file.size, 3u);
       const FoundFile sub = files.FindFile(folder.Path("sub"));
       EXPECT_TRUE(sub.found && sub.directory);
       EXPECT_FALSE(files.FindFile(folder.Path("missing")).found);
     }},
    {"only an existing file opens to read, and its whole text splits into lines",
     [](FileReader& files, ScratchFolder& folder) {
       folder.Write("tasks.qef", "a\r\nb\rc\n");
       folder.MakeFolder("sub");
       for (const char* name : {"sub", "none"})
         EXPECT_EQ(files.OpenToRead(folder.Path(name), kShareRead), kInvalidFile) << name;
       TStringList lines;
       LoadLines(files, lines, folder.Path("tasks.qef"));
       ASSERT_EQ(lines.Count(), 3);
       EXPECT_EQ(std::string(std::string_view(lines[2])), "c");
     }},
};

inline const FileContractCase<HostSystem> kWritingContract[] = {
    {"appending reaches an existing file only, at its end, and makes none",
     [](HostSystem& files, ScratchFolder& folder) {
       folder.Write("log", "a");
       constexpr std::uint32_t kShareAll = kShareRead | kShareWrite | kShareDelete;
       const FileHandle file =
           files.OpenFile(folder.Path("log"), kAppendData, kShareAll, kOpenExisting);
       ASSERT_NE(file, kInvalidFile);
       std::uint32_t written = 0;
       EXPECT_TRUE(files.Write(file, "bc", 2, written));
       EXPECT_EQ(written, 2u);
       std::uint64_t size = 0;
       EXPECT_TRUE(files.SizeOf(file, size));
       EXPECT_EQ(size, 3u);
       EXPECT_EQ(files.KindOf(file), FileKind::kFile);
       files.Close(file);
       EXPECT_EQ(ReadWholeFile(files, folder.Path("log")), "abc");
       EXPECT_EQ(files.OpenFile(folder.Path("none"), kAppendData, kShareAll, kOpenExisting),
                 kInvalidFile);
       EXPECT_FALSE(files.FindFile(folder.Path("none")).found);
     }},
    {"a new file is made empty, only where none is",
     [](HostSystem& files, ScratchFolder& folder) {
       folder.Write("launch.qef", "keep");
       constexpr std::uint32_t kReadWrite = kGenericRead | kGenericWrite;
       EXPECT_EQ(files.OpenFile(folder.Path("launch.qef"), kReadWrite, kShareNone, kCreateNew),
                 kInvalidFile);
       EXPECT_EQ(ReadWholeFile(files, folder.Path("launch.qef")), "keep");
       const FileHandle created =
           files.OpenFile(folder.Path("new.qef"), kReadWrite, kShareNone, kCreateNew);
       ASSERT_NE(created, kInvalidFile);
       EXPECT_EQ(files.Seek(created, 0, kSeekEnd), 0);
       files.Close(created);
       EXPECT_TRUE(files.FindFile(folder.Path("new.qef")).found);
     }},
    {"a handle opened to delete renames its file over an older one",
     [](HostSystem& files, ScratchFolder& folder) {
       folder.Write("log", "new");
       folder.Write("log.1", "old");
       constexpr std::uint32_t kShareAll = kShareRead | kShareWrite | kShareDelete;
       const FileHandle file =
           files.OpenFile(folder.Path("log"), kAppendData | kDelete, kShareAll, kOpenExisting);
       ASSERT_NE(file, kInvalidFile);
       EXPECT_TRUE(files.RenameOpenFile(file, folder.Path("log.1")));
       files.Close(file);
       EXPECT_EQ(ReadWholeFile(files, folder.Path("log.1")), "new");
       EXPECT_FALSE(files.FindFile(folder.Path("log")).found);
     }},
};

// Runs every case of the table, each in a folder of its own that the suite gives.
template <class Files, std::size_t N, typename MakeFolder>
void CheckCases(const FileContractCase<Files> (&table)[N], Files& files, MakeFolder& makeFolder) {
  for (const FileContractCase<Files>& c : table) {
    SCOPED_TRACE(c.name);
    auto folder = makeFolder(c.name);
    c.check(files, *folder);
  }
}

// A reader keeps the reading cases.
template <typename MakeFolder>
void CheckReadingContract(FileReader& files, MakeFolder&& makeFolder) {
  CheckCases(kReadingContract, files, makeFolder);
}

// A host that writes keeps them all.
template <typename MakeFolder>
void CheckFileContract(HostSystem& host, MakeFolder&& makeFolder) {
  CheckCases<FileReader>(kReadingContract, host, makeFolder);
  CheckCases(kWritingContract, host, makeFolder);
}

}  // namespace pendulon
