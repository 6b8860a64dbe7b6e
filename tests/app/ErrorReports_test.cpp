#include "app/ErrorReports.h"

#include "support/SimFixture.h"

namespace pendulon::sim {
namespace {

using ReportErrorTest = SimTest;

TEST(ReportText, AddsAFullStopAfterABytePastIt) {
  struct Case {
    const char* message;
    const char* shown;
  } cases[] = {
      {"Cannot open file C:\\Tools\\lib\\tasks.qef", "Cannot open file C:\\Tools\\lib\\tasks.qef."},
      {"List index out of bounds (0)", "List index out of bounds (0)"},
      {"Not enough timers available", "Not enough timers available."},
      {"Done.", "Done."},
      {"Stop!", "Stop!"},
      {"", ""},
      {"a,", "a,"},
      {"a-", "a-"},
      {"a ", "a "},
      {"a\n", "a\n"},
      {"9", "9."},
      {"a/", "a/."},
      {"a:", "a:."},
      {"\x80", "\x80."},
      {"\xFF", "\xFF."},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReportText(c.message), c.shown) << c.message;
  }
}

TEST_F(ReportErrorTest, ShowsAnErrorBoxUnderTheTitle) {
  ErrorReports reports(platform);
  const WindowHandle owner = world.AddWindow("TApplication", "Title");
  reports.ReportError(owner, "Title", "Cannot open file C:\\x");
  ASSERT_EQ(world.boxes.size(), 1u);
  EXPECT_EQ(world.boxes[0].text, "Cannot open file C:\\x.");
  EXPECT_EQ(world.boxes[0].caption, "Title");
  EXPECT_EQ(world.boxes[0].ownerClass, "TApplication");
  EXPECT_EQ(world.boxes[0].style, 0x10u);
}

TEST_F(ReportErrorTest, ATextStillOpenIsNotShownAgainButOthersAre) {
  ErrorReports reports(platform);
  world.boxAnswer = [](const BoxRecord& box) { return box.text == "same." ? 10 * kSecond : 0; };
  world.At(world.Now() + kSecond, [&] {
    reports.ReportError(0, "T", "same");
    reports.ReportError(0, "T", "same.");  // shown as the same text
    reports.ReportError(0, "T", "other");
    EXPECT_EQ(reports.OpenCount(), 1);
  });
  reports.ReportError(0, "T", "same");
  EXPECT_EQ(reports.OpenCount(), 0);
  reports.ReportError(0, "T", "same");  // closed meanwhile: shown again
  std::vector<std::string> texts;
  for (const BoxRecord& box : world.boxes) texts.push_back(box.text);
  EXPECT_EQ(texts, (std::vector<std::string>{"same.", "other.", "same."}));
}

TEST_F(ReportErrorTest, AnOlderBoxTakesNoInputWhileANewerOneIsOpen) {
  ErrorReports reports(platform);
  const WindowHandle family = world.AddWindow("TfrmQuillmar", "Quillmar v.2.5 Final Release");
  world.Window(family)->visible = true;
  world.shellBox = [](const ShellRecord&) { return 60 * kSecond; };
  world.boxAnswer = [](const BoxRecord&) { return 10 * kSecond; };
  const std::int64_t start = world.Now();
  WindowHandle shellBox = 0;
  world.At(start + kSecond, [&] {
    shellBox = world.activeWindow;
    world.At(world.Now() + 5 * kSecond, [&] {
      const BoxRecord& newer = world.boxes.back();
      EXPECT_FALSE(world.Window(shellBox)->enabled) << "the older box cannot be answered";
      EXPECT_TRUE(world.Window(newer.window)->enabled);
      EXPECT_EQ(world.activeWindow, newer.window);
      EXPECT_TRUE(world.Window(family)->enabled) << "another program's window is not ours";
    });
    reports.ReportError(0, "T", "late");
    EXPECT_TRUE(world.Window(shellBox)->enabled);
    EXPECT_EQ(world.activeWindow, shellBox) << "the window active before is active again";
  });
  platform.ShellOpen(0, "open", "C:\\slow.exe", "", "", 9);
  ASSERT_EQ(world.boxes.size(), 2u);
  EXPECT_EQ(world.boxes[1].closedAt, start + 11 * kSecond);
  EXPECT_EQ(world.boxes[0].closedAt, start + 60 * kSecond) << "the newest closes first";
}

}  // namespace
}  // namespace pendulon::sim
