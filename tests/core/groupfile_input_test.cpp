// Group files as a user's folder may hold them: any byte content loads
// without harm, and a later save keeps every line the program does not own.
#include <gtest/gtest.h>

#include <cstdint>

#include "common/text.h"
#include "data/groupfiles.h"
#include "data/os.h"
#include "tests/core/load_groups.h"
#include "tests/core/tempdir.h"

namespace korvane {
namespace {

struct InputCase {
  const char* label;
  std::string bytes;
  std::vector<std::string> kept;   // pieces that must survive a save unchanged
  std::string title1;              // title of entry 1 after the load ("*": not checked)
};

std::string Junk(std::size_t size) {
  std::string bytes = "junk";
  std::uint32_t state = 12345;
  while (bytes.size() < size) {
    state = state * 1103515245u + 12345u;
    const char c = static_cast<char>(state >> 24);
    bytes += c == '[' ? '{' : c;   // no section header can appear by chance
  }
  return bytes;
}

std::vector<InputCase> Cases() {
  std::vector<InputCase> cases;
  const std::string junk = Junk(64 * 1024);
  cases.push_back({"binary junk", junk, {junk}, ""});
  cases.push_back({"NUL bytes",
                   std::string("[01]\r\nTITLE=ab\0cd\r\nPATH=\0\r\n[21]\r\nK=\0v\0\r\n", 41),
                   {std::string("[21]\r\nK=\0v\0\r\n", 14)},
                   "*"});
  cases.push_back({"CR only", "[01]\rTITLE=t1\rPATH=\r[21]\rX=1\r", {"[21]\rX=1\r"}, "t1"});
  cases.push_back({"LF only", "; c\n[01]\nTITLE=t1\nPATH=\n[21]\nX=1\n", {"; c\n", "[21]\nX=1\n"}, "t1"});
  cases.push_back({"mixed line ends", "[01]\r\nTITLE=t1\n[02]\rTITLE=t2\r\n[21]\nX=1\r", {"[21]\nX=1\r"}, "t1"});
  cases.push_back({"no final line break", "[01]\r\nMEMO=m\r\nTITLE=last", {"[01]\r\nMEMO=m\r\n"}, "last"});
  const std::string big_line = "BIG=" + std::string(10 * 1024 * 1024, 'b');
  cases.push_back({"10 MB line",
                   "[01]\r\n" + big_line + "\r\nTITLE=t\r\n[02]\r\nTITLE=" + std::string(10 * 1024 * 1024, 'x') + "\r\n",
                   {"[01]\r\n" + big_line + "\r\n"},
                   "t"});
  cases.push_back({"invalid Shift_JIS",
                   "\x82\r\n[01]\r\nTITLE=a\xFD\x80\r\n[\x81]\r\nK=\xFF\xFD\x80\r\n\xA0\xE0",
                   {"\x82\r\n", "[\x81]\r\nK=\xFF\xFD\x80\r\n"},
                   Utf8FromCp932("a\xFD\x80")});
  cases.push_back({"duplicate sections and keys",
                   "[01]\r\nTITLE=first\r\nTITLE=second\r\n[01]\r\nPATH=p2\r\nTITLE=third\r\n",
                   {"TITLE=second\r\n", "[01]\r\nPATH=p2\r\nTITLE=third\r\n"},
                   "first"});
  std::string many;
  for (int i = 0; i < 100000; ++i) many += "[S" + std::to_string(i) + "]\r\nK=V\r\n";
  cases.push_back({"100,000 sections", many + "[01]\r\nTITLE=end\r\n", {many}, "end"});
  cases.push_back({"empty file", "", {}, ""});
  cases.push_back({"lone lead byte before the line break", "[01]\r\nTITLE=x\x82\r\nPATH=\r\n", {}, "*"});
  return cases;
}

TEST(GroupFileInput, AnyContentLoadsAndASaveKeepsWhatIsNotOurs) {
  for (const InputCase& c : Cases()) {
    SCOPED_TRACE(c.label);
    testing::TempDir dir;
    const std::string path = dir.File("入力.PTH");
    ASSERT_TRUE(testing::WriteBytes(path, c.bytes));
    LauncherModel model;
    const FileReport loaded = LoadGroups(dir.path(), model);
    ASSERT_TRUE(loaded.ok);
    ASSERT_EQ(model.GroupCount(), 1u);
    const Group& group = model.GroupAt(0);
    ASSERT_EQ(group.entries.size(), kEntryCount);
    for (std::size_t i = 0; i < kEntryCount; ++i) {
      EXPECT_LE(TextUnits(group.entries[i].title), kTitleMaxBytes);
      EXPECT_EQ(ValidUtf8(group.entries[i].title), group.entries[i].title);
      EXPECT_EQ(ValidUtf8(group.entries[i].path), group.entries[i].path);
      EXPECT_EQ(group.entries[i].marker, group.entries[i].path.empty() ? PathMarker::NoPath : PathMarker::Untested);
    }
    if (c.title1 != "*") {
      EXPECT_EQ(group.entries[0].title, c.title1);
    }
    EXPECT_EQ(group.entries[19].title, "");   // no file here has entry 20
    EXPECT_EQ(group.entries[19].path, "");

    model.SelectGroup(0);
    model.SetTitle(20, "changed");
    const std::vector<Entry> entries = model.GroupAt(0).entries;
    ASSERT_TRUE(SaveGroups(dir.path(), model).ok);
    const std::string saved = testing::ReadBytes(path);
    for (const std::string& piece : c.kept) EXPECT_NE(saved.find(piece), std::string::npos) << piece.substr(0, 40);

    // What was saved reads back as the model held it.
    LauncherModel again;
    ASSERT_TRUE(LoadGroups(dir.path(), again).ok);
    ASSERT_EQ(again.GroupCount(), 1u);
    EXPECT_EQ(again.GroupAt(0).entries, entries);
  }
}

}  // namespace
}  // namespace korvane
