#include "launcher/RunItem.h"

#include <string>

#include "platform/Exceptions.h"
#include "support/SimFixture.h"

namespace pendulon::sim {
namespace {

class RunItemTest : public SimTest {
 protected:
  void Launch(const std::string& launchFile, const std::string& item) {
    world.WriteFile(kLaunch, launchFile);
    RunItem(platform, owner, item);
  }
  WindowHandle owner = world.AddWindow("TfrmPendulon", "Quillmar v.2.5 Final Release");
};

TEST_F(RunItemTest, AsksTheShellWithTheSectionsValuesAndDefaults) {
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

TEST_F(RunItemTest, WithoutAPathNothingHappens) {
  for (const char* file :
       {"<Viewer>\r\npath=C:\\v.exe\r\n</Viewer>\r\n",  // another name
        "<Other>\r\npath=C:\\v.exe\r\n",                // no closing tag
        "<Other>\r\npath=\r\n</Other>\r\n", "<Other>\r\ndir=C:\\\r\n</Other>\r\n"}) {
    Launch(file, "Other");
  }
  Launch("", "");
  EXPECT_TRUE(world.launches.empty());
  EXPECT_TRUE(world.boxes.empty());
}

TEST_F(RunItemTest, AMissingLaunchFileIsCreatedEmpty) {
  world.MakeDirectory("C:\\Tools\\lib");
  RunItem(platform, owner, "Viewer");
  EXPECT_EQ(world.Contents(kLaunch), "");
  EXPECT_TRUE(world.launches.empty());
}

TEST_F(RunItemTest, ALaunchFileThatCannotBeReadRaisesWithItsFullPath) {
  struct Case {
    const char* exe;
    const char* launchFile;
  } cases[] = {
      {"C:\\Tools\\pendulon.exe", "C:\\Tools\\lib\\launch.qef"},
      // At a drive root the path holds a doubled separator, passed on unchanged.
      {"C:\\pendulon.exe", "C:\\\\lib\\launch.qef"},
  };
  for (const Case& c : cases) {
    SimWorld w;
    SimPlatform p(w, c.exe, "p");
    w.WriteFile(c.launchFile, "<Viewer>\r\npath=C:\\v.exe\r\n</Viewer>\r\n");
    w.LockForWriting(c.launchFile, true);
    try {
      RunItem(p, 0, "Viewer");
      ADD_FAILURE() << "launched";
    } catch (const EFOpenError& e) {
      EXPECT_EQ(e.Message(), std::string("Cannot open file ") + c.launchFile);
    }
    EXPECT_TRUE(w.launches.empty());
    w.LockForWriting(c.launchFile, false);
    RunItem(p, 0, "Viewer");
    EXPECT_EQ(w.launches.size(), 1u);
  }
}

TEST_F(RunItemTest, NoReaderIsAliveWhileTheShellShowsABox) {
  world.shellBox = [](const ShellRecord&) { return 5 * kSecond; };
  world.At(world.Now() + kSecond, [&] {
    EXPECT_EQ(platform.OpenFiles(), 0);
    world.WriteFile(kLaunch, "<Viewer>\r\npath=C:\\edited.exe\r\n</Viewer>\r\n");
  });
  Launch("<Viewer>\r\npath=C:\\v.exe\r\n</Viewer>\r\n", "Viewer");
  RunItem(platform, owner, "Viewer");
  ASSERT_EQ(world.launches.size(), 2u);
  EXPECT_EQ(world.launches[1].file, "C:\\edited.exe") << "every launch reads the file anew";
}

}  // namespace
}  // namespace pendulon::sim
