#include "dialog/apply_review.h"

#include <gtest/gtest.h>

#include "app/memory_window.h"
#include "build/navigation_page.h"
#include "clean/line_list.h"
#include "platform/failure.h"
#include "platform/text.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace tavex {
namespace {

using test::ReadFile;
using test::WriteFile;

// An issue folder with a navigation page made of the real block layout and a
// page file for every article; the window's grid names the rubrics.
class Review : public ::testing::Test {
 protected:
  void SetUp() override {
    window.SetFieldText(Field::TargetDir, dir.text());
    window.SetRowCount(1);
    page = {"<html>", "<table>", kBeginMarker};
  }

  // Adds a rubric with articles titled as given (UTF-8); pages are numbered on.
  void AddRubric(const char* name, std::initializer_list<const char*> titles) {
    const int row = window.RowCount();
    window.SetRowCount(row + 1);
    window.SetCell(1, row, Utf8To1251(name));
    table.Rubrics.emplace_back();
    const LineList heading = RubricHeadingBlock(Utf8To1251(name));
    page.insert(page.end(), heading.begin(), heading.end());
    for (const char* title : titles) {
      const std::string file = std::to_string(next_page++) + ".htm";
      TArticleEntry entry{Utf8To1251(title), "<a href=\"..\\pub\\" + file + "\">",
                          dir.text() + "\\pub\\" + file, true};
      WriteFile(dir.path() / "pub" / file, "page");
      const LineList block = ArticleBlock(entry.Title, entry.LinkMarkup);
      page.insert(page.end(), block.begin(), block.end());
      table.Rubrics.back().push_back(entry);
    }
  }

  void Save() {
    page.push_back("</table>");
    fs::create_directories(dir.path() / "frame");
    SaveLines(dir / "frame/left.htm", page);
  }
  LineList Saved() const { return LoadLines(dir / "frame/left.htm"); }
  bool PageExists(int n) const {
    return fs::exists(dir.path() / "pub" / (std::to_string(n) + ".htm"));
  }
  // Index of the first saved line equal to text, or -1.
  int IndexOf(const std::string& text) const {
    const LineList lines = Saved();
    for (size_t i = 0; i < lines.size(); ++i)
      if (lines[i] == text) return static_cast<int>(i);
    return -1;
  }

  test::TempDir dir;
  MemoryWindow window;
  ArticleTable table;
  LineList page;
  int next_page = 0;
};

TEST_F(Review, DroppingTheSecondOfTwoEqualTitlesRemovesItsOwnBlock) {
  AddRubric("Новости", {"Обзор", "Обзор"});
  Save();
  table.Rubrics[0][1].Included = false;
  ApplyReview(window, table);
  EXPECT_EQ(Saved().size(), page.size() - 9);
  EXPECT_NE(IndexOf("<a href=\"..\\pub\\0.htm\">"), -1);  // the kept one stays listed
  EXPECT_EQ(IndexOf("<a href=\"..\\pub\\1.htm\">"), -1);
  EXPECT_TRUE(PageExists(0));
  EXPECT_FALSE(PageExists(1));
  EXPECT_NE(IndexOf(Utf8To1251("Новости")), -1);
}

TEST_F(Review, AnArticleTitledLikeItsRubricLeavesTheHeadingWhileOthersStay) {
  AddRubric("Сеть", {"Сеть", "Модем"});
  AddRubric("Софт", {"Браузер"});
  Save();
  table.Rubrics[0][0].Included = false;
  ApplyReview(window, table);
  LineList expected = page;
  expected.erase(expected.begin() + 11, expected.begin() + 20);
  EXPECT_EQ(Saved(), expected);
  EXPECT_FALSE(PageExists(0));
  EXPECT_TRUE(PageExists(1));
}

TEST_F(Review, DroppingEveryArticleOfARubricRemovesItsHeading) {
  AddRubric("Сеть", {"Сеть", "Модем"});
  AddRubric("Софт", {"Браузер"});
  Save();
  for (auto& article : table.Rubrics[0]) article.Included = false;
  ApplyReview(window, table);
  LineList expected = {"<html>", "<table>", kBeginMarker};
  expected.insert(expected.end(), page.begin() + 29, page.end());  // Софт's heading and article
  EXPECT_EQ(Saved(), expected);
  EXPECT_FALSE(PageExists(0));
  EXPECT_FALSE(PageExists(1));
  EXPECT_TRUE(PageExists(2));
}

TEST_F(Review, EmptyRubricLosesItsHeadingOnlyWithAnotherChange) {
  AddRubric("Пусто", {});
  AddRubric("Софт", {"Браузер", "Почта"});
  Save();
  const std::string before = ReadFile(dir.path() / "frame" / "left.htm");
  ApplyReview(window, table);  // nothing unchecked: the page is not touched
  EXPECT_EQ(ReadFile(dir.path() / "frame" / "left.htm"), before);

  table.Rubrics[1][1].Included = false;
  ApplyReview(window, table);
  EXPECT_EQ(IndexOf(Utf8To1251("Пусто")), -1);
  EXPECT_EQ(Saved().size(), page.size() - 8 - 9);
}

TEST_F(Review, AHeadingNameElsewhereOnThePageIsNotTakenForTheHeading) {
  page.push_back(Utf8To1251("Софт"));  // a template line that reads like the rubric
  AddRubric("Софт", {"Браузер"});
  Save();
  table.Rubrics[0][0].Included = false;
  ApplyReview(window, table);
  EXPECT_EQ(Saved(), (LineList{"<html>", "<table>", kBeginMarker, Utf8To1251("Софт"), "</table>"}));
}

TEST_F(Review, ArticleWhoseBlockIsGoneKeepsItsPage) {
  AddRubric("Софт", {"Браузер", "Почта"});
  Save();
  table.Rubrics[0][1].LinkMarkup = "<a href=\"..\\pub\\77.htm\">";
  table.Rubrics[0][1].Included = false;
  ApplyReview(window, table);
  EXPECT_TRUE(PageExists(1));
  EXPECT_EQ(Saved().size(), page.size());
}

TEST_F(Review, MissingNavigationPageFailsAndDeletesNothing) {
  AddRubric("Софт", {"Браузер"});
  table.Rubrics[0][0].Included = false;
  EXPECT_THROW(ApplyReview(window, table), Failure);
  EXPECT_TRUE(PageExists(0));
}

}  // namespace
}  // namespace tavex

namespace tavex {
namespace {

// The pictures a dropped article brought into "images" go with it, unless a
// kept article, the navigation page or the start page shows them too.
TEST_F(Review, PicturesOnlyDroppedPagesShowedGo) {
  AddRubric("Soft", {"Kept", "Dropped"});
  Save();
  WriteFile(dir.path() / "pub" / "0.htm", "<img src=\"..\\Images\\1.gif\">\r\n");
  WriteFile(dir.path() / "pub" / "1.htm",
            "<img src=\"..\\Images\\1.gif\">\r\n<img src=\"..\\Images\\2.jpg\">\r\n"
            "<img src=\"../images/tvred.gif\">\r\n<img src=\"..\\Images\\3.png\" width=\"5\">\r\n");
  WriteFile(dir.path() / "index.htm", "<img src=\"images/Logo.gif\">");
  for (const char* name : {"1.gif", "2.jpg", "3.png", "4.gif", "tvred.gif", "Logo.gif"})
    WriteFile(dir.path() / "images" / name, "GIF");
  table.Rubrics[0][1].Included = false;
  ApplyReview(window, table);
  EXPECT_FALSE(PageExists(1));
  EXPECT_TRUE(fs::exists(dir.path() / "images" / "1.gif"));   // the kept page shows it too
  EXPECT_FALSE(fs::exists(dir.path() / "images" / "2.jpg"));  // only the dropped page did
  EXPECT_FALSE(fs::exists(dir.path() / "images" / "3.png"));
  EXPECT_TRUE(fs::exists(dir.path() / "images" / "4.gif"));  // no dropped page named it
  EXPECT_TRUE(fs::exists(dir.path() / "images" / "tvred.gif"));
  EXPECT_TRUE(fs::exists(dir.path() / "images" / "Logo.gif"));
}

}  // namespace
}  // namespace tavex
