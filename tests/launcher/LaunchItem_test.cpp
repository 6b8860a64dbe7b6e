#include "launcher/LaunchItem.h"

#include <string>

#include "platform/Exceptions.h"
#include "support/SimFixture.h"

namespace pendulon::sim {
namespace {

class LaunchItemTest : public SimTest {
 protected:
  void Launch(const std::string& launchFile, const std::string& item) {
    world.WriteFile(kLaunch, launchFile);
    LaunchItem(platform, owner, kLaunch, item);
  }
  WindowHandle owner = world.AddWindow("TfrmPendulon", "Quillmar v.2.5 Final Release");
};

TEST_F(LaunchItemTest, AsksTheShellWithTheSectionsValuesAndDefaults) {
  struct Case {
    const char* extra;  // lines after path
    const char* path;
    const char* verb;
    const char* parameters;
    const char* directory;
  } cases[] = {
      {"", "C:\\Apps\\view.exe", "open", "", "C:\\Apps"},
      {"action=print\r\nparams=/p x.txt\r\ndir=D:\\Out\r\n", "C:\\Apps\\view.exe", "print",
       "/p x.txt", "D:\\Out"},
      {"", "view.exe", "open", "", ""},
      {"", "C:\\view.exe", "open", "", "C:\\"},
      {"action=\r\n", "C:\\Apps\\view.exe", "open", "", "C:\\Apps"},
      {"action= \r\nparams=  \r\n", "C:\\Apps\\view.exe", " ", "  ", "C:\\Apps"},
      {"", "\"C:\\Apps\\view.exe\"", "open", "", "\"C:\\Apps"},
  };
  for (const Case& c : cases) {
    world.launches.clear();
    Launch(std::string("<Viewer>\r\npath=") + c.path + "\r\n" + c.extra + "</Viewer>\r\n",
           "Viewer");
    ASSERT_EQ(world.launches.size(), 1u) << c.path << " " << c.extra;
    const ShellRecord& launch = world.launches[0];
    EXPECT_EQ(launch.ownerClass, "TfrmPendulon");
    EXPECT_EQ(launch.file, c.path);
    EXPECT_EQ(launch.verb, c.verb);
    EXPECT_EQ(launch.parameters, c.parameters);
    EXPECT_EQ(launch.directory, c.directory);
    EXPECT_EQ(launch.showCommand, 9);
  }
  EXPECT_EQ(platform.OpenFiles(), 0);
}

// Records what each launch told its observer.
struct Told final : LaunchObserver {
  void Launched(const AnsiString&, const LaunchRequest& request, std::intptr_t,
                std::uint64_t) override {
    said = "launched " + request.file;
  }
  void LaunchedNothing(const AnsiString&, const AnsiString& reason) override { said = reason; }
  std::string said;
};

// The launch file in every state it can be found in at a launch: created empty where no file is
// (never over one whose date cannot be stamped), and "Cannot open file" with its full path where
// it cannot be read, the path built on a drive root included.
TEST(LaunchFileStates, EachStateIsLoadedCreatedOrRefusedAsItMustBe) {
  constexpr const char* kSection = "<Viewer>\r\npath=C:\\v.exe\r\n</Viewer>\r\n";
  enum State { kMissing, kNoLibFolder, kDatedBefore1980, kLockedByAWriter, kAFolder, kEmpty };
  struct Case {
    State state;
    const char* exe;
    const char* item;
    const char* after;  // the file's bytes after the launch; null: no file
    const char* said;   // what the launch tells, or "raises"
  } const cases[] = {
      {kMissing, kExe, "Viewer", "", "the launch file was missing and has been created empty"},
      {kMissing, kExe, "", "", "the launch file was missing and has been created empty"},
      {kNoLibFolder, kExe, "Viewer", nullptr, "raises Cannot open file C:\\Tools\\lib\\launch.qef"},
      {kDatedBefore1980, kExe, "Viewer", kSection, "launched C:\\v.exe"},
      {kLockedByAWriter, kExe, "Viewer", kSection,
       "raises Cannot open file C:\\Tools\\lib\\launch.qef"},
      {kLockedByAWriter, "C:\\pendulon.exe", "Viewer", kSection,
       "raises Cannot open file C:\\\\lib\\launch.qef"},
      {kAFolder, kExe, "Viewer", nullptr, "raises Cannot open file C:\\Tools\\lib\\launch.qef"},
      {kEmpty, kExe, "Viewer", "", "the launch file has no section for the item"},
  };
  for (const Case& c : cases) {
    SimWorld world;
    SimPlatform platform(world, c.exe, "p");
    const std::string path = c.exe == std::string(kExe) ? kLaunch : "C:\\lib\\launch.qef";
    world.MakeDirectory("C:\\Tools");
    switch (c.state) {
      case kMissing:
        world.MakeDirectory("C:\\Tools\\lib");
        break;
      case kNoLibFolder:
        break;
      case kDatedBefore1980:
        world.WriteFile(path, kSection, UtcMsFromCivil(1970, 1, 1, 0, 0, 0, 0));
        break;
      case kLockedByAWriter:
        world.WriteFile(path, kSection);
        world.LockForWriting(path, true);
        break;
      case kAFolder:
        world.MakeDirectory(path);
        break;
      case kEmpty:
        world.WriteFile(path, "");
        break;
    }
    Told told;
    try {
      LaunchItem(platform, 0, LaunchFilePath(platform), c.item, told);
    } catch (const EFOpenError& e) {
      told.said = "raises " + e.Message();
    }
    const std::string where = std::to_string(c.state) + " " + c.exe + " \"" + c.item + "\"";
    EXPECT_EQ(told.said, c.said) << where;
    const SimFile* file = world.File(path);
    EXPECT_EQ(file != nullptr && !file->directory, c.after != nullptr) << where;
    if (c.after != nullptr && file != nullptr) {
      EXPECT_EQ(file->bytes, c.after) << where;
    }
    EXPECT_EQ(world.launches.size(), told.said.rfind("launched", 0) == 0 ? 1u : 0u) << where;
    EXPECT_EQ(platform.OpenFiles(), 0) << where;
  }
}

TEST_F(LaunchItemTest, NoReaderIsAliveWhileTheShellShowsABox) {
  world.shellBox = [](const ShellRecord&) { return 5 * kSecond; };
  world.At(world.Now() + kSecond, [&] {
    EXPECT_EQ(platform.OpenFiles(), 0);
    world.WriteFile(kLaunch, "<Viewer>\r\npath=C:\\edited.exe\r\n</Viewer>\r\n");
  });
  Launch("<Viewer>\r\npath=C:\\v.exe\r\n</Viewer>\r\n", "Viewer");
  LaunchItem(platform, owner, kLaunch, "Viewer");
  ASSERT_EQ(world.launches.size(), 2u);
  EXPECT_EQ(world.launches[1].file, "C:\\edited.exe") << "every launch reads the file anew";
}

}  // namespace
}  // namespace pendulon::sim
