// File layer behaviour that only a file system telling letter case apart, or
// one with symbolic links at hand, can show (compiled for POSIX only).
#include <gtest/gtest.h>

#include "platform/file_stamp.h"
#include "platform/files.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace tavex {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

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

// A POSIX name may hold a backslash: a sibling folder "src\x" is not inside
// "src", though its real path continues the root's with a character that is a
// separator in the program's own path texts.
TEST(IsWithinFolder, ABackslashInARealNameIsNoSeparator) {
  TempDir dir;
  WriteFile(dir.path() / "src\\x" / "secret.gif", "secret");
  fs::create_directories(dir.path() / "src" / "rubric");
  fs::create_symlink(dir.path() / "src\\x" / "secret.gif", dir.path() / "src" / "rubric" / "a.gif");
  const std::string root = dir.text() + "\\src";
  EXPECT_FALSE(IsWithinFolder(root + "\\rubric\\a.gif", root));
  ReadRefusal refusal = ReadRefusal::None;
  EXPECT_FALSE(ReadFileWithin(root + "\\rubric\\a.gif", root, 1 << 20, refusal));
  EXPECT_EQ(refusal, ReadRefusal::Outside);
}

TEST(LinkCaseVariant, TheOtherSpellingReachesTheFolder) {
  TempDir dir;
  fs::create_directory(dir.path() / "images");
  WriteFile(dir.path() / "images" / "1.gif", "gif");
  EXPECT_TRUE(LinkCaseVariant(dir / "images", dir / "Images"));
  EXPECT_EQ(ReadFile(dir.path() / "Images" / "1.gif"), "gif");
  EXPECT_TRUE(fs::is_symlink(dir.path() / "Images"));
  // A second call, or a name that exists already, changes nothing.
  EXPECT_TRUE(LinkCaseVariant(dir / "images", dir / "Images"));
  EXPECT_FALSE(LinkCaseVariant(dir / "missing", dir / "Missing"));
  EXPECT_FALSE(fs::exists(fs::symlink_status(dir.path() / "Missing")));
}

TEST(WalkFiles, DepthFirstInListingOrderAndEachRealFolderOnce) {
  TempDir dir;
  WriteFile(dir.path() / "b.htm", "");
  WriteFile(dir.path() / "A" / "x.gif", "");
  WriteFile(dir.path() / "c" / "y.htm", "");
  fs::create_directory_symlink(dir.path(), dir.path() / "c" / "up");  // a link back up the tree
  std::vector<std::string> seen, folders;
  int entries = 0;
  WalkFiles(
      dir.text(), [&] { ++entries; },
      [&](const std::string& path, std::string_view name) {
        EXPECT_EQ(path.substr(path.size() - name.size()), name);
        seen.push_back(path.substr(dir.text().size() + 1));
      },
      [&](const std::string& folder) { folders.push_back(folder.substr(dir.text().size())); });
  EXPECT_EQ(seen, (std::vector<std::string>{"A\\x.gif", "b.htm", "c\\y.htm"}));
  EXPECT_EQ(entries, 6);  // A, x.gif, b.htm, c, up, y.htm
  // Each folder searched, before its entries; the link back up is not one.
  EXPECT_EQ(folders, (std::vector<std::string>{"", "\\A", "\\c"}));
  EXPECT_EQ(ExtensionOf("rule.bet.old"), ".old");
  EXPECT_EQ(ExtensionOf("README"), "");
}

// Real paths come from an open descriptor where the path exists and are
// pieced together where it does not; both must agree on links and dots.
TEST(RealPath, ExistingAndMissingPathsResolveLinksTheSameWay) {
  TempDir dir;
  WriteFile(dir.path() / "real" / "a.htm", "");
  fs::create_directory_symlink(dir.path() / "real", dir.path() / "link");
  const std::string real = RealPath(dir.text() + "\\real");
  ASSERT_FALSE(real.empty());
  EXPECT_EQ(real.front(), '/');
  EXPECT_EQ(RealPath(dir.text() + "\\link"), real);
  EXPECT_EQ(RealPath(dir.text() + "\\link\\a.htm"), real + "/a.htm");
  EXPECT_EQ(RealPath(dir.text() + "\\link\\..\\real\\A.HTM"), real + "/a.htm");
  EXPECT_EQ(RealPath(dir.text() + "\\link\\missing\\b.htm"), real + "/missing/b.htm");
}

// The root's real path is kept between reads; a root link pointed elsewhere
// mid-run must be checked against its new folder, not the one kept.
TEST(ReadFileWithin, ARootLinkRetargetedIsResolvedAgain) {
  TempDir dir;
  WriteFile(dir.path() / "first" / "a.htm", "one");
  WriteFile(dir.path() / "second" / "b.htm", "two");
  fs::create_directory_symlink(dir.path() / "first", dir.path() / "root");
  const std::string root = dir.text() + "\\root";
  ReadRefusal refusal;
  EXPECT_EQ(ReadFileWithin(root + "\\a.htm", root, SIZE_MAX, refusal), "one");
  fs::remove(dir.path() / "root");
  fs::create_directory_symlink(dir.path() / "second", dir.path() / "root");
  EXPECT_EQ(ReadFileWithin(root + "\\b.htm", root, SIZE_MAX, refusal), "two");
  EXPECT_EQ(ReadFileWithin(dir.text() + "\\first\\a.htm", root, SIZE_MAX, refusal), std::nullopt);
  EXPECT_EQ(refusal, ReadRefusal::Outside);
}

// Names are tried as typed first; a case variant must still be found for a
// read, a stamp and a new file in a folder typed in another case.
TEST(NativePath, CaseVariantsStillFoundWhenTheTypedNameMisses) {
  TempDir dir;
  WriteFile(dir.path() / "Pub" / "Page.htm", "page");
  EXPECT_EQ(ReadFileBytes(dir.text() + "\\pub\\page.htm"), "page");
  EXPECT_TRUE(FileStampOf(dir.text() + "\\PUB\\PAGE.HTM").has_value());
  EXPECT_FALSE(FileStampOf(dir.text() + "\\pub").has_value());
  EXPECT_TRUE(FolderStampOf(dir.text() + "\\PUB").has_value());
  EXPECT_FALSE(FolderStampOf(dir.text() + "\\pub\\page.htm").has_value());
  EXPECT_FALSE(FolderStampOf(dir.text() + "\\missing").has_value());
  EXPECT_EQ(NativePath(dir.text() + "\\pub\\new.htm"), dir.path() / "Pub" / "new.htm");
  EXPECT_EQ(NativePath(dir.text() + "\\Pub\\new.htm"), dir.path() / "Pub" / "new.htm");
  EXPECT_TRUE(RemoveFile(dir.text() + "\\pub\\PAGE.htm"));
  EXPECT_FALSE(fs::exists(dir.path() / "Pub" / "Page.htm"));
  EXPECT_FALSE(RemoveFile(dir.text() + "\\pub"));
  EXPECT_TRUE(fs::is_directory(dir.path() / "Pub"));
}

}  // namespace
}  // namespace tavex
