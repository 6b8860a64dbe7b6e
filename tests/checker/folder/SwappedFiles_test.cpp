// A folder that changes while it is checked (a share, a sync client): whatever replaces a file
// between qefcheck's looks at its path and its read, qefcheck reads no byte through a link or a
// pipe, and no more of a file than its bound.

#include <map>
#include <sstream>
#include <string>

#include "checker/CheckerFixture.h"
#include "platform/CheckingHostWrapper.h"

namespace pendulon::sim {
namespace {

// What lies behind the swapped-in entry: a record the log's report would show, and a line the
// task file's would.
constexpr const char* kSecret =
    "2026-03-02T08:31:00.200+01:00\tlaunch\t2026-03-02T08:31\t1\tSECRET\topen\tC:\\\\x.exe\t\t"
    "C:\\\\\t2\tfile not found\t31\r\nroot:x:0:0:SECRET\r\n";

// Swaps the entry at one path for another after the n-th look at that path (a lookup or a link
// test) has been answered, and counts the bytes read through handles opened on it since.
class Swapping final : public CheckingHostWrapper {
 public:
  Swapping(CheckingHost& base, SimWorld& world, std::string path, int swapAt, SimFile swapIn)
      : CheckingHostWrapper(base),
        world_(world),
        path_(std::move(path)),
        swapAt_(swapAt),
        swapIn_(std::move(swapIn)) {}

  FoundFile FindFile(const AnsiString& path) override {
    const FoundFile found = CheckingHostWrapper::FindFile(path);
    Looked(path);
    return found;
  }
  std::optional<AnsiString> LinkTarget(const AnsiString& path) override {
    std::optional<AnsiString> target = CheckingHostWrapper::LinkTarget(path);
    Looked(path);
    return target;
  }
  FileHandle OpenToRead(const AnsiString& path, std::uint32_t share) override {
    return Opened(path, CheckingHostWrapper::OpenToRead(path, share));
  }
  FileHandle OpenUnfollowed(const AnsiString& path, std::uint32_t share, bool& link) override {
    return Opened(path, CheckingHostWrapper::OpenUnfollowed(path, share, link));
  }
  bool Read(FileHandle file, void* buffer, std::uint32_t count, std::uint32_t& got) override {
    const bool ok = CheckingHostWrapper::Read(file, buffer, count, got);
    if (ours_.count(file) != 0)
      read += got;
    return ok;
  }
  void Close(FileHandle file) override {
    ours_.erase(file);
    CheckingHostWrapper::Close(file);
  }

  std::uint64_t read = 0;  // bytes read through the path's handles opened since the swap

 private:
  void Looked(const AnsiString& path) {
    if (path == path_ && ++looks_ == swapAt_)
      *world_.File(path_) = swapIn_;
  }
  FileHandle Opened(const AnsiString& path, FileHandle file) {
    if (path == path_ && file != kInvalidFile && looks_ >= swapAt_)
      ours_.insert({file, true});
    return file;
  }

  SimWorld& world_;
  std::string path_;
  int swapAt_, looks_ = 0;
  SimFile swapIn_;
  std::map<FileHandle, bool> ours_;
};

TEST_F(CheckerTest, AFileSwappedBetweenItsLooksAndItsReadIsJudgedAsWhatIsRead) {
  SimFile link;
  link.bytes = kSecret;  // what following the link would read
  link.linkTarget = "/etc/passwd";
  SimFile pipe;
  pipe.bytes = kSecret;
  pipe.kind = FileKind::kPipe;
  SimFile huge;
  huge.bytes = std::string(6u << 20, '#');
  const struct Swap {
    const char* name;
    const SimFile& file;
    bool readable;  // its bytes may be read, up to the bound
  } swaps[] = {{"a link", link, false}, {"a pipe", pipe, false}, {"a 6 MiB file", huge, true}};
  const struct Path {
    const char* path;
    std::uint64_t most;  // bytes it may be read, at most
  } paths[] = {{kTasks, (4u << 20) + 1},
               {kLaunch, (4u << 20) + 1},
               {"C:\\Tools\\lib\\pendulon.log", 16u << 20}};
  for (const Path& at : paths) {
    for (const Swap& swap : swaps) {
      for (int look = 1; look <= 6; ++look) {
        for (const Path& fresh : paths) world.RemoveFile(fresh.path);  // a swap changes the entry
        world.WriteFile(kTasks, "* * * * * Backup\r\n");
        world.WriteFile(kLaunch, kLaunchText);
        world.WriteFile("C:\\Tools\\lib\\pendulon.log", "");
        Swapping swapping(platform, world, at.path, look, swap.file);
        std::ostringstream out, err;
        RunChecker(swapping, {"C:\\Tools"}, '\\', out, err);
        const std::string said = out.str() + err.str();
        const std::string where = std::string(at.path) + " swapped for " + swap.name +
                                  " after look " + std::to_string(look);
        EXPECT_EQ(said.find("SECRET"), std::string::npos) << where << ":\n" << said;
        EXPECT_LE(swapping.read, swap.readable ? at.most : 0) << where;
      }
    }
  }
}

}  // namespace
}  // namespace pendulon::sim
