#include "launcher/Qeflib.h"

#include <string>
#include <vector>

#include "platform/Exceptions.h"
#include "support/SimFixture.h"

namespace pendulon::sim {
namespace {

class QeflibTest : public SimTest {
 protected:
  TQEFile Reader(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& line : lines) bytes += line + "\r\n";
    world.WriteFile(kLaunch, bytes);
    return TQEFile(platform, kLaunch);
  }

  static std::int32_t Tag(const TQEFile& file, const char* name, bool opening) {
    return file.FindTag(name, opening);
  }
  static std::int32_t End(const TQEFile& file, const char* name) { return file.HeaderEnd(name); }
};

TEST_F(QeflibTest, TheExampleLaunchFile) {
  const TQEFile file = Reader({
      "a line outside every section",
      "<Viewer>",
      "path=C:\\Apps\\view.exe",
      "params=/a=1 /b",
      "path=D:\\other.exe",
      "Action=print",
      "<MenuItem whatever",
      "dir=C:\\Work",
      "</Viewer>",
      "</Sync>",
      "<Sync>",
      "path=C:\\Apps\\sync.exe",
      "</Sync>",
      "<Help>",
      "</Help>",
      "<Start>",
      "path=C:\\Apps\\start.exe",
  });
  EXPECT_EQ(Tag(file, "Viewer", true), 1);
  EXPECT_EQ(Tag(file, "Viewer", false), 8);
  EXPECT_EQ(End(file, "Viewer"), 5);
  EXPECT_EQ(file.GetPath("Viewer"), "C:\\Apps\\view.exe");
  EXPECT_EQ(file.GetParams("Viewer"), "/a=1 /b");
  EXPECT_EQ(file.GetAction("Viewer"), "");
  EXPECT_EQ(file.GetDir("Viewer"), "");
  EXPECT_EQ(Tag(file, "Sync", true), 10);
  EXPECT_EQ(Tag(file, "Sync", false), 9);
  EXPECT_EQ(End(file, "Sync"), 0);
  EXPECT_EQ(file.GetPath("Sync"), "");
  EXPECT_EQ(End(file, "Help"), 0);
  EXPECT_EQ(file.GetPath("Help"), "");
  EXPECT_EQ(Tag(file, "Start", false), -1);
  EXPECT_EQ(End(file, "Start"), -1);
  EXPECT_EQ(file.GetPath("Start"), "");
  EXPECT_EQ(Tag(file, "Other", true), -1);
  EXPECT_EQ(Tag(file, "Other", false), -1);
  EXPECT_EQ(file.GetPath("Other"), "");
  EXPECT_EQ(file.GetPath(""), "");
  EXPECT_EQ(file.FindLine("<Viewer>", 2), -1);
  EXPECT_EQ(file.FindLine("<Viewer>", -5), 1);
  EXPECT_EQ(file.FindLine("", 3), 3);
  EXPECT_EQ(file.FindLine("", 17), -1);
}

TEST_F(QeflibTest, HeaderRules) {
  struct Case {
    std::vector<std::string> lines;
    const char* section;
    const char* key;
    const char* expected;
  } cases[] = {
      // Sections do not nest: the lines of Inner also lie in the header of Outer.
      {{"<Outer>", "path=a", "<Inner>", "path=b", "</Inner>", "</Outer>"}, "Outer", "path", "a"},
      {{"<Outer>", "path=a", "<Inner>", "path=b", "</Inner>", "</Outer>"}, "Inner", "path", "b"},
      {{"<Outer>", "<Inner>", "path=b", "</Inner>", "</Outer>"}, "Outer", "path", "b"},
      // A "<MenuItem" line ends the header, wherever it stands; an indented one does not.
      {{"<Viewer>", "<MenuItem x", "path=x", "</Viewer>"}, "Viewer", "path", ""},
      {{"<Viewer>", "<MenuItem>", "path=x", "</Viewer>"}, "Viewer", "path", ""},
      {{"<Viewer>", " <MenuItem", "path=x", "</Viewer>"}, "Viewer", "path", "x"},
      {{"<Viewer>", "\t<MenuItem", "path=x", "</Viewer>"}, "Viewer", "path", "x"},
      // Keys are compared byte for byte, nothing trimmed; the first occurrence counts.
      {{"<V>", "path = x", "</V>"}, "V", "path", ""},
      {{"<V>", "path= x", "</V>"}, "V", "path", " x"},
      {{"<V>", "path=", "path=x", "</V>"}, "V", "path", ""},
      {{"<V>", "#path=x", "</V>"}, "V", "#path", "x"},
      {{"<V>", "PATH=x", "</V>"}, "V", "path", ""},
      {{"<V>", "just text", "</V>"}, "V", "", "just text"},
      {{"<V>", "=lead", "</V>"}, "V", "", "lead"},
      // Tag lines are recognised by their beginning only, case and all.
      {{"<V> main", "path=x", "</V> end"}, "V", "path", "x"},
      {{" <V>", "path=x", "</V>"}, "V", "path", ""},
      {{"<v>", "path=x", "</V>"}, "V", "path", ""},
      {{"<V x>", "path=x", "</V>"}, "V", "path", ""},
      {{"\xEF\xBB\xBF<V>", "path=x", "</V>"}, "V", "path", ""},
      // Two sections of one name: the first tags count.
      {{"<V>", "dir=1", "</V>", "<V>", "path=2", "</V>"}, "V", "path", ""},
      {{"<V>", "<V>", "path=2", "</V>"}, "V", "path", "2"},
  };
  for (const Case& c : cases) {
    const TQEFile file = Reader(c.lines);
    EXPECT_EQ(file.GetValue(c.section, c.key), c.expected)
        << testing::PrintToString(c.lines) << " " << c.section << "." << c.key;
  }
}

TEST_F(QeflibTest, FindKeyLooksOnlyBetweenItsBoundsAndSplitsAtTheFirstEquals) {
  world.leadBytes = {0x81};  // "\x81=" is one character, not a key's end
  const TQEFile file = Reader({"path=0", "Path=1", "path=2", "\x81=path=3", "path=4"});
  struct Case {
    const char* key;
    std::int32_t first, last, expected;
  } cases[] = {
      {"path", 0, 4, 0},  {"path", 1, 4, 2}, {"path", -5, 0, 0}, {"path", 3, 3, -1},
      {"path", 3, 99, 4}, {"Path", 0, 4, 1}, {"path", 2, 1, -1}, {"\x81=path", 0, 4, 3},
  };
  for (const Case& c : cases)
    EXPECT_EQ(file.FindKey(c.key, c.first, c.last), c.expected) << c.key << " " << c.first;
}

TEST_F(QeflibTest, HeaderEndIsTheOpeningTagWhenAMenuItemFollowsIt) {
  const TQEFile file = Reader({"x", "<Viewer>", "<MenuItem", "path=x", "</Viewer>"});
  EXPECT_EQ(End(file, "Viewer"), 1);
}

}  // namespace
}  // namespace pendulon::sim
