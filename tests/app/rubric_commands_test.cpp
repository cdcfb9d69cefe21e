#include "app/rubric_commands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <utility>
#include <vector>

#include "app/memory_window.h"
#include "support/temp_dir.h"

namespace tavex {
namespace {

using Rows = std::vector<std::pair<std::string, std::string>>;

// A window whose grid holds exactly the given data rows.
MemoryWindow WithRows(const Rows& rows) {
  MemoryWindow window;
  window.SetRowCount(static_cast<int>(rows.size()) + 1);
  for (size_t i = 0; i < rows.size(); ++i) {
    window.SetCell(0, static_cast<int>(i) + 1, rows[i].first);
    window.SetCell(1, static_cast<int>(i) + 1, rows[i].second);
  }
  return window;
}

Rows DataRows(const MemoryWindow& window) {
  Rows rows;
  for (int r = 1; r < window.RowCount(); ++r)
    rows.emplace_back(window.Cell(0, r), window.Cell(1, r));
  return rows;
}

TEST(InsertRubricRow, OpensAnEmptyRowAtTheCurrentRow) {
  MemoryWindow window = WithRows({{"a", "A"}, {"b", "B"}, {"c", "C"}});
  InsertRubricRow(window, 2);
  EXPECT_EQ(DataRows(window), (Rows{{"a", "A"}, {"", ""}, {"b", "B"}, {"c", "C"}}));
  EXPECT_EQ(window.Cell(0, 0), MemoryWindow().Cell(0, 0));  // the header stays
}

TEST(InsertRubricRow, OnTheLastRowMovesItDown) {
  MemoryWindow window = WithRows({{"a", "A"}, {"b", "B"}});
  InsertRubricRow(window, 2);
  EXPECT_EQ(DataRows(window), (Rows{{"a", "A"}, {"", ""}, {"b", "B"}}));
}

TEST(InsertRubricRow, GivesAGridWithoutDataRowsItsFirstRow) {
  MemoryWindow window = WithRows({});
  InsertRubricRow(window, 0);
  EXPECT_EQ(DataRows(window), (Rows{{"", ""}}));
}

TEST(DeleteRubricRow, RemovesTheCurrentRowAndMovesTheRestUp) {
  MemoryWindow window = WithRows({{"a", "A"}, {"b", "B"}, {"c", "C"}});
  DeleteRubricRow(window, 1);
  EXPECT_EQ(DataRows(window), (Rows{{"b", "B"}, {"c", "C"}}));
  DeleteRubricRow(window, 2);  // the last row
  EXPECT_EQ(DataRows(window), (Rows{{"b", "B"}}));
}

TEST(DeleteRubricRow, KeepsTheLastDataRow) {
  MemoryWindow window = WithRows({{"a", "A"}});
  DeleteRubricRow(window, 1);
  EXPECT_EQ(DataRows(window), (Rows{{"a", "A"}}));
  MemoryWindow empty = WithRows({});
  DeleteRubricRow(empty, 1);
  EXPECT_EQ(empty.RowCount(), 1);
}

TEST(SwapRubricRows, ExchangesTheCurrentRowWithTheOneBelow) {
  MemoryWindow window = WithRows({{"a", "A"}, {"b", "B"}, {"c", "C"}});
  SwapRubricRows(window, 1);
  EXPECT_EQ(DataRows(window), (Rows{{"b", "B"}, {"a", "A"}, {"c", "C"}}));
}

TEST(SwapRubricRows, OnTheLastRowExchangesItWithTheOneAbove) {
  MemoryWindow window = WithRows({{"a", "A"}, {"b", "B"}, {"c", "C"}});
  SwapRubricRows(window, 3);
  EXPECT_EQ(DataRows(window), (Rows{{"a", "A"}, {"c", "C"}, {"b", "B"}}));
}

TEST(SwapRubricRows, NeedsTwoDataRows) {
  MemoryWindow two = WithRows({{"a", "A"}, {"b", "B"}});
  SwapRubricRows(two, 1);
  EXPECT_EQ(DataRows(two), (Rows{{"b", "B"}, {"a", "A"}}));
  MemoryWindow one = WithRows({{"a", "A"}});
  SwapRubricRows(one, 1);
  EXPECT_EQ(DataRows(one), (Rows{{"a", "A"}}));
}

class ScanTest : public ::testing::Test {
 protected:
  void MakeFolder(const std::string& name) {
    std::filesystem::create_directories(dir_.path() / name);
  }
  test::TempDir dir_;
};

TEST_F(ScanTest, TakesSubFoldersInNameOrderAndReplacesEveryRow) {
  MakeFolder("Soft");
  MakeFolder("Net");
  test::WriteFile(dir_.path() / "readme.htm", "not a folder");
  MemoryWindow window = WithRows({{"a", "A"}, {"b", "B"}, {"c", "C"}});
  ScanSourceFolders(window, dir_.text());
  EXPECT_EQ(DataRows(window), (Rows{{"Net", "Net"}, {"Soft", "Soft"}}));
}

TEST_F(ScanTest, SkipsImagesInAnyCase) {
  MakeFolder("Images");
  MemoryWindow window = WithRows({{"a", "A"}});
  ScanSourceFolders(window, dir_.text() + "/");
  EXPECT_EQ(window.RowCount(), 1);
  MakeFolder("images2");
  ScanSourceFolders(window, dir_.text());
  EXPECT_EQ(DataRows(window), (Rows{{"images2", "images2"}}));
}

TEST_F(ScanTest, KeepsCyrillicNamesAsTheyStand) {
  // Новости, as the file system stores the letters (UTF-8 on POSIX, UTF-16 on Windows).
  std::filesystem::create_directories(
      dir_.path() / std::filesystem::path(u8"\u041d\u043e\u0432\u043e\u0441\u0442\u0438"));
  MemoryWindow window = WithRows({});
  ScanSourceFolders(window, dir_.text());
  EXPECT_EQ(DataRows(window),
            (Rows{{"\xcd\xee\xe2\xee\xf1\xf2\xe8", "\xcd\xee\xe2\xee\xf1\xf2\xe8"}}));
}

TEST_F(ScanTest, GrowsPastTheDesignedRows) {
  for (int i = 0; i < 60; ++i) MakeFolder("r" + std::to_string(100 + i));
  MemoryWindow window;
  ScanSourceFolders(window, dir_.text());
  ASSERT_EQ(window.RowCount(), 61);
  EXPECT_EQ(window.Cell(1, 60), "r159");
}

TEST_F(ScanTest, AMissingFolderLeavesTheGrid) {
  MemoryWindow window = WithRows({{"a", "A"}});
  ScanSourceFolders(window, dir_ / "missing");
  EXPECT_EQ(DataRows(window), (Rows{{"a", "A"}}));
}

TEST_F(ScanTest, AutoScanPutsInTheIssueNumberButKeepsTheField) {
  MakeFolder("in7/Soft");
  MemoryWindow window = WithRows({});
  window.SetFieldText(Field::IssueNumber, "7");
  window.SetFieldText(Field::SourceDir, dir_ / "in#x1");
  AutoScan(window);
  EXPECT_EQ(DataRows(window), (Rows{{"Soft", "Soft"}}));
  EXPECT_EQ(window.FieldText(Field::SourceDir), dir_ / "in#x1");
}

TEST_F(ScanTest, AutoScanWithAnEmptySourceDirDoesNothing) {
  MakeFolder("Soft");
  test::ScopedCurrentDir here(dir_.path());
  MemoryWindow window = WithRows({{"a", "A"}});
  window.SetFieldText(Field::SourceDir, "");
  AutoScan(window);
  EXPECT_EQ(DataRows(window), (Rows{{"a", "A"}}));
}

// The titles typed for folders the scan finds again stay; folders that hold
// pictures and no article page (saved beside the articles) are no rubrics.
TEST_F(ScanTest, KeepsTypedTitlesAndSkipsPictureFolders) {
  MakeFolder("Soft");
  MakeFolder("Net/deep");
  MakeFolder("Empty");
  test::WriteFile(dir_.path() / "Net" / "deep" / "a.htm", "<p>x</p>");
  test::WriteFile(dir_.path() / "Net" / "deep" / "a.gif", "GIF");
  test::WriteFile(dir_.path() / "foto" / "sub" / "b.JPG", "JPG");
  test::WriteFile(dir_.path() / "Archive" / "page.mht", "MIME");
  MemoryWindow window =
      WithRows({{"Soft", "\xcf\xf0\xee\xe3\xf0\xe0\xec\xec\xfb"}, {"Old", "Old"}});
  ScanSourceFolders(window, dir_.text());
  EXPECT_EQ(DataRows(window), (Rows{{"Archive", "Archive"},
                                    {"Empty", "Empty"},
                                    {"Net", "Net"},
                                    {"Soft", "\xcf\xf0\xee\xe3\xf0\xe0\xec\xec\xfb"}}));
  EXPECT_TRUE(RubricRowsFilled(window));
  EXPECT_FALSE(RubricRowsFilled(WithRows({{"", ""}})));
}

TEST(DeriveTargetDir, WithoutADriveLetterTheIssuesGoBesideTheProject) {
  MemoryWindow window;
  window.SetFieldText(Field::ProjectPath, "/home/ed/help/tavex.hhp");
  EXPECT_EQ(DerivedTargetDir(window), "/home/ed/help/tavex#x1/tavex#x1");
  window.SetFieldText(Field::ProjectPath, "help\\tavex.hhp");
  EXPECT_EQ(DerivedTargetDir(window), "help\\tavex#x1\\tavex#x1");
  window.SetFieldText(Field::ProjectPath, "tavex.hhp");
  EXPECT_EQ(DerivedTargetDir(window), "tavex#x1\\tavex#x1");
  window.SetFieldText(Field::ProjectPath, "");
  EXPECT_EQ(DerivedTargetDir(window), "");
}

TEST(DeriveTargetDir, TakesTheDriveOfTheProjectPath) {
  MemoryWindow window;
  DeriveTargetDir(window);
  EXPECT_EQ(window.FieldText(Field::TargetDir), "e:\\tavex\\tavex#x1\\tavex#x1");
  window.SetFieldText(Field::ProjectPath, "d:\\x\\p.hhp");
  DeriveTargetDir(window);
  EXPECT_EQ(window.FieldText(Field::TargetDir), "d:\\tavex\\tavex#x1\\tavex#x1");
  window.SetFieldText(Field::ProjectPath, "");
  DeriveTargetDir(window);
  EXPECT_EQ(window.FieldText(Field::TargetDir), "d:\\tavex\\tavex#x1\\tavex#x1");
}

}  // namespace
}  // namespace tavex
