#include "platform/files.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace tavex {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

TEST(Paths, BackslashesAndLetterCaseResolveOnPosix) {
  TempDir dir;
  WriteFile(dir.path() / "Rubric" / "Pics" / "A.GIF", "gif");
  const std::string lower = dir.text() + "\\rubric\\pics\\a.gif";
  EXPECT_TRUE(FileExists(lower));
  EXPECT_EQ(ReadFileBytes(lower), "gif");
  EXPECT_TRUE(FolderExists(dir.text() + "\\RUBRIC\\"));
  EXPECT_FALSE(FileExists(dir.text() + "\\rubric\\pics"));
  EXPECT_FALSE(FileExists(dir.text() + "\\rubric\\pics\\b.gif"));
}

TEST(Paths, CyrillicNamesGoToTheSystemAsUtf8) {
  TempDir dir;
  WriteFile(dir.path() / "\xd0\x9d\xd0\xbe\xd0\xb2\xd0\xbe\xd1\x81\xd1\x82\xd0\xb8",
            "x");  // Новости
  EXPECT_TRUE(FileExists(dir.text() + "\\\xcd\xee\xe2\xee\xf1\xf2\xe8"));
  EXPECT_TRUE(FileExists(dir.text() + "\\\xed\xee\xe2\xee\xf1\xf2\xe8"));  // новости
  auto entries = ListFolder(dir.text());
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name, "\xcd\xee\xe2\xee\xf1\xf2\xe8");
}

TEST(Paths, ANewFileUnderAnExistingFolderOfOtherCaseLandsInIt) {
  TempDir dir;
  fs::create_directory(dir.path() / "Images");
  ASSERT_TRUE(WriteFileWhole(dir.text() + "\\images\\1.gif", "data"));
  EXPECT_EQ(ReadFile(dir.path() / "Images" / "1.gif"), "data");
}

TEST(ListFolder, SortsByFoldedNameThenBytesAndTellsFolders) {
  TempDir dir;
  for (const char* name : {"b.htm", "A.htm", "a.htm", "C"}) WriteFile(dir.path() / name, "");
  fs::create_directory(dir.path() / "sub");
  auto entries = ListFolder(dir.text());
  std::vector<std::string> names;
  for (const auto& e : entries) names.push_back(e.name + (e.is_folder ? "/" : ""));
  EXPECT_EQ(names, (std::vector<std::string>{"A.htm", "a.htm", "b.htm", "C", "sub/"}));
  EXPECT_TRUE(ListFolder(dir.text() + "/missing").empty());
}

TEST(Files, CopyNeverReplacesAnExistingTarget) {
  TempDir dir;
  WriteFile(dir.path() / "one", "1");
  WriteFile(dir.path() / "two", "2");
  EXPECT_FALSE(CopyFileNoReplace(dir / "one", dir / "two"));
  EXPECT_EQ(ReadFile(dir.path() / "two"), "2");
  EXPECT_TRUE(CopyFileNoReplace(dir / "one", dir / "three"));
  EXPECT_EQ(ReadFile(dir.path() / "three"), "1");
  EXPECT_FALSE(CopyFileNoReplace(dir / "missing", dir / "four"));
  EXPECT_FALSE(fs::exists(dir.path() / "four"));
}

TEST(Files, CreateRemoveAndReadWithALimit) {
  TempDir dir;
  EXPECT_TRUE(CreateFolder(dir / "f"));
  EXPECT_FALSE(CreateFolder(dir / "f"));
  EXPECT_FALSE(CreateFolder(dir / "x/y"));
  WriteFile(dir.path() / "f" / "a", "abcdef");
  EXPECT_EQ(ReadFileBytes(dir / "f/a", 3), "abc");
  EXPECT_FALSE(ReadFileBytes(dir / "f"));
  EXPECT_FALSE(RemoveFile(dir / "f"));
  EXPECT_TRUE(RemoveFile(dir / "f/a"));
  EXPECT_FALSE(RemoveFile(dir / "f/a"));
}

TEST(Files, WriteWholeLeavesNoTemporaryAndFailsCleanly) {
  TempDir dir;
  WriteFile(dir.path() / "page.htm", "old");
  EXPECT_TRUE(WriteFileWhole(dir / "page.htm", "new"));
  EXPECT_EQ(ReadFile(dir.path() / "page.htm"), "new");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
  EXPECT_FALSE(WriteFileWhole(dir / "missing/page.htm", "x"));
}

TEST(IsWithinFolder, SeesThroughDotsAndLinks) {
  TempDir dir;
  WriteFile(dir.path() / "src" / "rubric" / "a.gif", "");
  WriteFile(dir.path() / "secret.txt", "");
  fs::create_symlink(dir.path() / "secret.txt", dir.path() / "src" / "rubric" / "link.gif");
  const std::string root = dir.text() + "\\src";
  EXPECT_TRUE(IsWithinFolder(root + "\\rubric\\a.gif", root));
  EXPECT_TRUE(IsWithinFolder(root, root));
  EXPECT_TRUE(IsWithinFolder(root + "\\RUBRIC\\..\\rubric\\a.gif", root));
  EXPECT_FALSE(IsWithinFolder(root + "\\rubric\\..\\..\\secret.txt", root));
  EXPECT_FALSE(IsWithinFolder(root + "\\rubric\\link.gif", root));
  EXPECT_FALSE(IsWithinFolder(dir.text() + "\\srcx\\a", root));
}

}  // namespace
}  // namespace tavex

namespace tavex {
namespace {

TEST(LinkCaseVariant, TheOtherSpellingReachesTheFolder) {
  test::TempDir dir;
  fs::create_directory(dir.path() / "images");
  test::WriteFile(dir.path() / "images" / "1.gif", "gif");
  EXPECT_TRUE(LinkCaseVariant(dir / "images", dir / "Images"));
  EXPECT_EQ(test::ReadFile(dir.path() / "Images" / "1.gif"), "gif");
  EXPECT_TRUE(fs::is_symlink(dir.path() / "Images"));
  // A second call, or a name that exists already, changes nothing.
  EXPECT_TRUE(LinkCaseVariant(dir / "images", dir / "Images"));
  EXPECT_FALSE(LinkCaseVariant(dir / "missing", dir / "Missing"));
  EXPECT_FALSE(fs::exists(fs::symlink_status(dir.path() / "Missing")));
}

}  // namespace
}  // namespace tavex

namespace tavex {
namespace {

TEST(WalkFiles, DepthFirstInListingOrderAndEachRealFolderOnce) {
  test::TempDir dir;
  test::WriteFile(dir.path() / "b.htm", "");
  test::WriteFile(dir.path() / "A" / "x.gif", "");
  test::WriteFile(dir.path() / "c" / "y.htm", "");
  fs::create_directory_symlink(dir.path(), dir.path() / "c" / "up");  // a link back up the tree
  std::vector<std::string> seen;
  int entries = 0;
  WalkFiles(
      dir.text(), [&] { ++entries; },
      [&](const std::string& path, std::string_view name) {
        EXPECT_EQ(path.substr(path.size() - name.size()), name);
        seen.push_back(path.substr(dir.text().size() + 1));
      });
  EXPECT_EQ(seen, (std::vector<std::string>{"A\\x.gif", "b.htm", "c\\y.htm"}));
  EXPECT_EQ(entries, 6);  // A, x.gif, b.htm, c, up, y.htm
  EXPECT_EQ(ExtensionOf("rule.bet.old"), ".old");
  EXPECT_EQ(ExtensionOf("README"), "");
}

}  // namespace
}  // namespace tavex
