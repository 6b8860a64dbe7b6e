#include "platform/Process.h"

#include "support/SimFixture.h"

namespace pendulon::sim {
namespace {

using ProcessTest = SimTest;

TEST_F(ProcessTest, FirstArgumentSplitsLikeAWindowsProgram) {
  struct Case {
    const char* commandLine;
    const char* expected;
  } cases[] = {
      {"\"C:\\Tools\\pendulon.exe\" \"-w quillmar\"", "-w quillmar"},
      {"\"C:\\Tools\\pendulon.exe\" -w quillmar", "-w"},
      {"pendulon.exe -w\" \"quillmar", "-w quillmar"},
      {"\"C:\\Tools\\pendulon.exe\"", ""},
      {"pendulon.exe   ", ""},
      {"pendulon.exe \"-w quillmar", "-w quillmar"},
      {"pendulon.exe \"\" \"-w quillmar\"", "-w quillmar"},
      {"pendulon.exe \"\"\"\" x", "x"},
      {"pendulon.exe\t\x01\x1f-W", "-W"},
      {"pendulon.exe \"-w quillmar\" more args", "-w quillmar"},
      {"  \"C:\\Program Files\\p.exe\"\targ", "arg"},
      {"pendulon.exe a\"b c\"d e", "ab cd"},
      {"pendulon.exe \xA0x", "\xA0x"},
      {"", ""},
      {"   ", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ArgumentOf(platform, c.commandLine, 1), c.expected) << c.commandLine;
  }
  EXPECT_EQ(FirstArgument(platform, platform.CommandLine()), "-w quillmar");
}

TEST_F(ProcessTest, FirstArgumentKeepsDoubleByteCharactersWhole) {
  world.leadBytes = {0x81};
  // The trail byte 0x20 would split the token if it were taken alone.
  EXPECT_EQ(ArgumentOf(platform, "p.exe \x81 x", 1), "\x81 x");
  EXPECT_EQ(ArgumentOf(platform, "p.exe \x81\"\" y", 1), "\x81\" y");
}

TEST(ExeDirectory, IsTheFolderOrTheDriveRoot) {
  struct Case {
    std::string exe;
    std::string expected;
  } cases[] = {
      {"C:\\Tools\\pendulon.exe", "C:\\Tools"},
      {"C:\\pendulon.exe", "C:\\"},
      {"C:\\" + std::string(300, 'd') + "\\pendulon.exe", "C:\\" + std::string(300, 'd')},
      {"C:\\" + std::string(255, 'e') + "\\pendulon.exe", "C:\\" + std::string(255, 'e')},
  };
  for (const Case& c : cases) {
    SimWorld world;
    SimPlatform platform(world, c.exe, "p");
    EXPECT_EQ(ExeDirectory(platform), c.expected) << c.exe.size();
  }
}

}  // namespace
}  // namespace pendulon::sim
