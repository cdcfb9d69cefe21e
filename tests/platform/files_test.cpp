#include "platform/files.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace tavex {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

TEST(Paths, BackslashesAndLetterCaseResolve) {
  TempDir dir;
  WriteFile(dir.path() / "Rubric" / "Pics" / "A.GIF", "gif");
  const std::string lower = dir.text() + "\\rubric\\pics\\a.gif";
  EXPECT_TRUE(FileExists(lower));
  EXPECT_EQ(ReadFileBytes(lower), "gif");
  EXPECT_TRUE(FolderExists(dir.text() + "\\RUBRIC\\"));
  EXPECT_FALSE(FileExists(dir.text() + "\\rubric\\pics"));
  EXPECT_FALSE(FileExists(dir.text() + "\\rubric\\pics\\b.gif"));
}

TEST(Paths, CyrillicNamesGoToTheSystemAsTheirLetters) {
  TempDir dir;
  WriteFile(dir.path() / fs::path(u8"\u041d\u043e\u0432\u043e\u0441\u0442\u0438"), "x");  // Новости
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

// "/a/b" as a real path of this system: "C:\a\b" on Windows.
std::string Real(std::string_view posix) {
  std::string real = kRealPathSeparator == '\\' ? "C:" : "";
  for (char c : posix) real += c == '/' ? kRealPathSeparator : c;
  return real;
}

TEST(RealPathWithin, WholePartsOnlyAndTheTopRootHoldsAll) {
  EXPECT_TRUE(RealPathWithin(Real("/a/b"), Real("/a/b")));
  EXPECT_TRUE(RealPathWithin(Real("/a/b/c"), Real("/a/b/")));
  EXPECT_FALSE(RealPathWithin(Real("/a/bc"), Real("/a/b")));
  EXPECT_FALSE(RealPathWithin(Real("/a"), Real("/a/b")));
  EXPECT_TRUE(RealPathWithin(Real("/x"), Real("/")));
  EXPECT_FALSE(RealPathWithin("", Real("/")));
  EXPECT_FALSE(RealPathWithin(Real("/x"), ""));
}

}  // namespace
}  // namespace tavex
