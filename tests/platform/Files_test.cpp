#include "platform/Files.h"

#include <string>
#include <string_view>
#include <vector>

#include "platform/Exceptions.h"
#include "support/FileContract.h"
#include "support/SimFixture.h"

namespace pendulon::sim {
namespace {

using FilesTest = SimTest;

std::vector<std::string> Lines(const TStringList& list) {
  std::vector<std::string> lines;
  for (int i = 0; i < list.Count(); ++i) lines.emplace_back(list[i]);
  return lines;
}

TEST_F(FilesTest, LoadLinesSplitsAtCrLfCrOrLfAndStopsAtNul) {
  using L = std::vector<std::string>;
  struct Case {
    std::string bytes;
    L lines;
  } cases[] = {
      {"", {}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\r\nb", {"a", "b"}},
      {"a\nb\rc", {"a", "b", "c"}},
      {"a\r\r\nb", {"a", "", "b"}},
      {"a\n\rb", {"a", "", "b"}},
      {"\r\n", {""}},
      {std::string("a\0b\r\nc", 6), {"a"}},
      {std::string("\0a", 2), {}},
      {"  a\t", {"  a\t"}},
      {"\xEF\xBB\xBF"
       "a",
       {"\xEF\xBB\xBF"
        "a"}},
      {"\n\n", {"", ""}},
  };
  for (const Case& c : cases) {
    world.WriteFile(kTasks, c.bytes);
    TStringList list;
    list.Add("old");
    LoadLines(platform, list, kTasks);
    EXPECT_EQ(Lines(list), c.lines) << testing::PrintToString(c.bytes);
  }
  EXPECT_EQ(platform.OpenFiles(), 0);
}

TEST_F(FilesTest, LoadLinesFailureNamesThePathAndKeepsTheList) {
  world.WriteFile(kTasks, "new\r\n");
  world.MakeDirectory("C:\\Tools\\lib\\folder");
  world.WriteFile("C:\\Tools\\lib\\locked.qef", "x");
  world.LockForWriting("C:\\Tools\\lib\\locked.qef", true);
  world.WriteFile("C:\\Tools\\lib\\unreadable.qef", "x");
  world.File("C:\\Tools\\lib\\unreadable.qef")->failReads = true;
  // A device reads as endless zeros, or waits for input: never a file of task lines.
  world.WriteFile("C:\\Tools\\lib\\device.qef", "");
  world.File("C:\\Tools\\lib\\device.qef")->kind = FileKind::kDevice;

  for (const char* path :
       {"C:\\Tools\\lib\\missing.qef", "C:\\Tools\\lib\\folder", "C:\\Tools\\lib\\locked.qef",
        "C:\\Tools\\lib\\unreadable.qef", "C:\\Tools\\lib\\device.qef"}) {
    TStringList list;
    list.Add("kept");
    try {
      LoadLines(platform, list, path);
      ADD_FAILURE() << "no error for " << path;
    } catch (const EFOpenError& e) {
      EXPECT_EQ(e.Message(), std::string("Cannot open file ") + path);
    }
    EXPECT_EQ(Lines(list), std::vector<std::string>{"kept"}) << path;
  }
  EXPECT_EQ(platform.OpenFiles(), 0);
}

TEST_F(FilesTest, FileStampIsMinusOneForNoFileADirectoryOrAnUnpackableDate) {
  world.MakeDirectory("C:\\Tools\\lib");
  world.WriteFile("C:\\old.txt", "x", UtcMsFromCivil(1979, 12, 31, 12, 0, 0, 0));
  world.WriteFile("C:\\future.txt", "x", UtcMsFromCivil(2108, 1, 2, 0, 0, 0, 0));
  for (const char* path :
       {"C:\\nothing.txt", "C:\\Tools\\lib", "C:\\old.txt", "C:\\future.txt", "C:\\"}) {
    EXPECT_EQ(FileStamp(platform, path), -1) << path;
    EXPECT_FALSE(FilePresent(platform, path)) << path;
  }
}

// An empty view with no storage behind it once reached memchr as a null pointer, which UBSan
// stops on and an optimiser may take as proof that the pointer is never null.
TEST(AppendLines, TakesEveryEmptyTextAlike) {
  const std::string_view cases[] = {std::string_view(), std::string_view(""),
                                    std::string_view("\0a\r\n", 4)};
  for (const std::string_view text : cases) {
    TStringList list;
    list.Add("kept");
    AppendLines(text, list);
    ASSERT_EQ(list.Count(), 1) << text.size();
    EXPECT_EQ(list[0], "kept");
  }
}

class SimScratch final : public ScratchFolder {
 public:
  SimScratch(SimWorld& world, std::string root) : world_(world), root_(std::move(root)) {
    world_.MakeDirectory(root_);
  }
  std::string Path(const std::string& name) override { return root_ + "\\" + name; }
  void Write(const std::string& name, const std::string& bytes) override {
    world_.WriteFile(Path(name), bytes);
  }
  void MakeFolder(const std::string& name) override { world_.MakeDirectory(Path(name)); }

 private:
  SimWorld& world_;
  std::string root_;
};

// Every test of the program's files runs here: the simulated files must answer as Windows does.
TEST_F(FilesTest, SimulatedFilesKeepTheFileContract) {
  int n = 0;
  CheckFileContract(platform, [&](const char*) {
    return std::make_unique<SimScratch>(world, "C:\\Scratch" + std::to_string(++n));
  });
}

}  // namespace
}  // namespace pendulon::sim
