// Nothing from a folder reaches the terminal as a control byte, whatever the files hold; the
// letters of the files' code page are shown as letters.

#include "checker/text/Printable.h"

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "checker/CheckerFixture.h"
#include "checker/ReportJson.h"
#include "checker/report/TextReport.h"
#include "checker/report/Windows1252Text.h"
#include "runlog/RunLogFormat.h"

namespace pendulon::sim {
namespace {

// What a hostile folder may hold in any field: a window title, the clipboard, the cursor moved
// up and a line erased over the line above (by 7-bit and by 8-bit CSI), and DEL.
const std::string kEvil =
    "\x1B]0;owned\x07\x1B]52;c;QUFB\x07\x1B[1A\x9B"
    "2K\x7F!";

// The offsets of control bytes a terminal would act on: C0 but the line end, DEL, and C1 written
// in UTF-8.
std::vector<std::size_t> ControlBytes(const std::string& text) {
  std::vector<std::size_t> found;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    const bool c1 = byte == 0xC2 && i + 1 < text.size() &&
                    static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                    static_cast<unsigned char>(text[i + 1]) < 0xA0;
    if ((byte < 0x20 && byte != '\n') || byte == 0x7F || c1)
      found.push_back(i);
  }
  return found;
}

std::string Event(LogEvent event, std::vector<std::string> fields) {
  return LogLine({"2026-03-02T09:00:00.000+01:00", event, std::move(fields)});
}

TEST_F(CheckerTest, NoControlByteFromAnyFileReachesTheTerminal) {
  const std::string& e = kEvil;
  world.WriteFile(kTasks, "# " + e + "\r\n" + e + " * * * * A\r\n* " + e + " * * * A\r\n* * " + e +
                              " * * A\r\n* * * " + e + " * A\r\n* * * * " + e + " A\r\n" +
                              "* * * * * " + e + "\r\n* * * * * B\r\n* * * * * C\r\n" +
                              "* * * * * D" + e + "\r\n7 * * " + e + "\r\n");
  world.WriteFile(kLaunch, "<B>\r\npath=" + e + "\r\nparams=" + e + "\r\ndir=" + e + "\r\naction=" +
                               e + "\r\n</B>\r\n<C>\r\n path=" + e + "\r\n</C>\r\n<D" + e +
                               ">\r\npath=C:\\" + e + "\r\n</D" + e + ">\r\n" + e + "\r\n");
  const std::string n = "7";  // a number field
  world.WriteFile("C:\\Tools\\lib\\pendulon.log",
                  Event(LogEvent::kStart, {e, e, n, e}) + Event(LogEvent::kLoad, {e, e, n, n}) +
                      Event(LogEvent::kLoadFailed, {e, e, e}) +
                      Event(LogEvent::kLaunch, {e, "8", "B", e, e, e, e, "2", e, n}) +
                      Event(LogEvent::kLaunch, {e, "7", e, e, e, e, e, "2", e, n}) +
                      Event(LogEvent::kNoLaunch, {e, "9", "C", e}) +
                      Event(LogEvent::kBoxOpen, {e}) + Event(LogEvent::kBoxClosed, {e, e}) +
                      Event(LogEvent::kEnd, {e, n}) + e + "\r\n");
  // Every field passes the printable form before the report is written out for the terminal.
  std::ostringstream report;
  WriteTextReport(report, CheckFolder(platform, "C:\\Tools", '\\'));
  EXPECT_EQ(ControlBytes(report.str()), std::vector<std::size_t>{}) << report.str();
  for (const std::vector<std::string>& arguments :
       std::vector<std::vector<std::string>>{{"C:\\Tools"},
                                             {"--json", "C:\\Tools"},
                                             {"--follow", "C:\\Tools"},
                                             {"--next", "C:\\Tools"},
                                             {"--next", "--json", "C:\\Tools"}}) {
    Machine machine;
    machine.keepFollowing = [] { return false; };
    std::ostringstream out, err;
    const int status = RunChecker(platform, arguments, '\\', out, err, machine);
    const Outcome outcome{status, out.str(), err.str()};
    EXPECT_EQ(outcome.status, arguments[0] == "--follow" ? 0 : 1) << outcome.err;
    const std::string all = outcome.out + outcome.err;
    EXPECT_EQ(ControlBytes(all), std::vector<std::size_t>{}) << arguments[0] << "\n" << all;
    if (std::find(arguments.begin(), arguments.end(), "--json") != arguments.end())
      ParseReport(outcome.out);
    else
      EXPECT_NE(outcome.out.find("owned"), std::string::npos) << "the texts are still shown";
  }
}

// The bytes of the files are Windows-1252 to the Linux build, and the printable form never puts a
// backslash before an escape, where it would read as a doubled path separator.
TEST(ShowLine, ShowsLettersAsLettersAndEscapesOnlyWhatCannotBeShown) {
  struct Case {
    const char* bytes;
    const char* shown;
  } const cases[] = {
      {"C:\\Programme\\Pr\xFC"
       "fung\\\xDC"
       "bersicht.exe",
       "C:\\Programme\\Prüfung\\Übersicht.exe"},
      {"\x80 \x9B \xA0x \xFF", "€ › \u00A0x ÿ"},
      {"\x81\x8D\x8F\x90\x9D", "<81><8D><8F><90><9D>"},
      {"a\tb\x1B"
       "c\x7F\r\n",
       "a<09>b<1B>c<7F><0D>\n"},
  };
  Windows1252Text windows1252;
  SimWorld world;
  SimPlatform platform(world, "C:\\Tools\\qefcheck.exe", "qefcheck");
  for (const Case& c : cases)
    EXPECT_EQ(ShowLine(c.bytes, platform, windows1252), c.shown) << c.bytes;
  EXPECT_EQ(Visible("C:\\x\x1B\\\t\n"), "C:\\x<1B>\\<09><0A>");
}

}  // namespace
}  // namespace pendulon::sim
