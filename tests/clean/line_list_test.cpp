#include "clean/line_list.h"

#include <gtest/gtest.h>

#include "platform/failure.h"
#include "support/shown_place.h"
#include "support/temp_dir.h"

namespace tavex {
namespace {

TEST(SplitIntoLines, SplitsAtEveryKindOfLineBreak) {
  EXPECT_EQ(SplitIntoLines("a\r\nb\rc\nd"), (LineList{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitIntoLines("a\r\n"), (LineList{"a"}));
  EXPECT_EQ(SplitIntoLines("a\n\nb"), (LineList{"a", "", "b"}));
  EXPECT_EQ(SplitIntoLines("\r\n"), (LineList{""}));
  EXPECT_EQ(SplitIntoLines("\n\r"), (LineList{"", ""}));  // LF then a lone CR
  // Breaks of one kind far apart with many of the other between them.
  EXPECT_EQ(SplitIntoLines("a\rb\nc\n\nd\r\ne\rf"), (LineList{"a", "b", "c", "", "d", "e", "f"}));
  EXPECT_TRUE(SplitIntoLines("").empty());
}

TEST(SplitIntoLines, TextEndsAtTheFirstNul) {
  EXPECT_EQ(SplitIntoLines(std::string_view("ab\0cd\ne", 7)), (LineList{"ab"}));
}

TEST(LineFiles, SaveWritesCrLfAfterEveryLineAndLoadReadsItBack) {
  test::TempDir dir;
  const std::string path = dir / "list.txt";
  SaveLines(path, {"\xcf\xf0\xe8\xe2\xe5\xf2", "", "end"});
  EXPECT_EQ(test::ReadFile(path), "\xcf\xf0\xe8\xe2\xe5\xf2\r\n\r\nend\r\n");
  EXPECT_EQ(LoadLines(path), (LineList{"\xcf\xf0\xe8\xe2\xe5\xf2", "", "end"}));
}

TEST(LineFiles, FailuresNameTheFile) {
  test::TempDir dir;
  try {
    LoadLines(dir / "absent.htm");
    FAIL();
  } catch (const Failure& failure) {
    EXPECT_EQ(std::string(failure.what()), "Cannot open file " + (dir / "absent.htm") + "\n" +
                                               (dir / "absent.htm") +
                                               ": No such file or directory");
  }
  try {
    SaveLines(dir / "no/such/folder.htm", {"x"});
    FAIL();
  } catch (const Failure& failure) {
    EXPECT_EQ(std::string(failure.what()),
              test::ShownPlace("Cannot create file " + (dir / "no/such/folder.htm") + "\n" +
                               (dir / "no/such/folder.htm") + ": No such file or directory"));
  }
}

}  // namespace
}  // namespace tavex
