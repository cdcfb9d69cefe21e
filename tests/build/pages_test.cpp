#include <gtest/gtest.h>

#include "build/find_files.h"
#include "build/help_contents.h"
#include "build/navigation_page.h"
#include "build/start_page.h"
#include "platform/failure.h"
#include "platform/text.h"
#include "workspace.h"

namespace fs = std::filesystem;

namespace tavex {
namespace {

using test::ReadFile;
using test::Workspace;
using test::WriteFile;

TEST(PrepareNavigationPage, FillsFirstPlaceholdersAndLowerCasesTheTemplate) {
  Workspace ws;
  WriteFile("left.htm", "<P>MyTitle mynumer MyDate MyTitle #X1</P>\r\n<!-- begin -->\r\nEnd\r\n");
  ws.window.SetFieldText(Field::IssueNumber, "12");
  TNavigationPage page = PrepareNavigationPage(ws.window);
  AddRubricHeading(page, "R");
  const LineList lines = NavigationPageLines(page);
  ASSERT_EQ(lines.size(), 11u);
  EXPECT_EQ(lines[0],
            "<p>Tavex \xb9"
            "12 12 " +
                ws.window.ShortDate() + " mytitle 12</p>");
  EXPECT_EQ(lines[2], "<td>");
  EXPECT_EQ(lines[5], "R");
  EXPECT_EQ(lines[10], "end");
}

TEST(PrepareNavigationPage, WithoutARecognisedMarkerBlocksFollowTheFirstLine) {
  Workspace ws;
  for (const char* text :
       {"a\r\nb\r\n", "a\r\n <!-- begin -->\r\nb\r\n", "<!-- BEGIN -->\r\nb\r\n"}) {
    WriteFile("left.htm", text);
    TNavigationPage page = PrepareNavigationPage(ws.window);
    AddArticleLine(page, "T", "<a href=\"..\\pub\\0.htm\">");
    const LineList lines = NavigationPageLines(page);
    EXPECT_EQ(lines[1], "<tr>") << text;
    EXPECT_EQ(lines[5], "T") << text;
  }
  WriteFile("left.htm", "");
  TNavigationPage page = PrepareNavigationPage(ws.window);
  AddRubricHeading(page, "R");
  EXPECT_EQ(NavigationPageLines(page).size(), 8u);  // an empty template takes the blocks
}

TEST(WriteStartPage, LinksTheIssuesOwnMainPageWhenAsked) {
  Workspace ws;
  fs::create_directories(fs::path(ws.target()) / "frame");
  WriteFile("index.htm", "a\r\nx ../../main.htm y ../../main.htm\r\n../../main.htm\r\n");
  WriteStartPage(ws.window);
  EXPECT_EQ(ReadFile(fs::path(ws.target()) / "index.htm"),
            "a\r\nx ../../main.htm y ../../main.htm\r\n../../main.htm\r\n");
  EXPECT_FALSE(fs::exists(fs::path(ws.target()) / "frame" / "main.htm"));

  ws.window.SetChecked(Switch::LinkMainPage, true);
  WriteStartPage(ws.window);
  EXPECT_EQ(ReadFile(fs::path(ws.target()) / "index.htm"),
            "a\r\nx frame\\main.htm y \r\n../../main.htm\r\n");
  EXPECT_EQ(ReadFile(fs::path(ws.target()) / "frame" / "main.htm"), "<html>main</html>\r\n");
}

class Contents : public ::testing::Test {
 protected:
  void Add(const char* number) {
    ws.window.SetFieldText(Field::IssueNumber, number);
    ws.window.SetFieldText(Field::IndexPagePath, std::string("tavex") + number + "\\index.htm");
    AddIssueToContents(ws.window);
  }
  LineList Lines() const { return LoadLines(ws.help() + "/" + kContentsFile); }
  std::string Bytes() const { return ReadFile(fs::path(ws.help()) / kContentsFile); }

  Workspace ws;
};

TEST_F(Contents, Issue11OpensTheGroupAndIssue12GoesInsideIt) {
  Add("11");
  Add("12");
  LineList expected = SplitIntoLines(test::kContentsWithIssue10);
  const LineList header = GroupHeaderBlock("11", 11);
  const LineList entry11 = IssueEntryBlock("11", "tavex11\\index.htm");
  const LineList entry12 = IssueEntryBlock("12", "tavex12\\index.htm");
  auto at = expected.begin() + 11;  // after issue 10's "</OBJECT>"
  at = expected.insert(at, header.begin(), header.end()) + 5;
  at = expected.insert(at, entry11.begin(), entry11.end()) + 4;
  expected.insert(at, entry12.begin(), entry12.end());
  EXPECT_EQ(Lines(), expected);
  EXPECT_EQ(header[2], "\t\t<param name=\"Name\" value=\"11-20\">");
  EXPECT_EQ(entry12[1], "\t\t\t<param name=\"Name\" value=\"12\">");
}

TEST_F(Contents, RerunningAnIssueLeavesTheFileUnchanged) {
  Add("11");
  Add("12");
  const std::string before = Bytes();
  Add("11");
  Add("12");
  EXPECT_EQ(Bytes(), before);
}

TEST_F(Contents, ExistingGroupHeaderDoesNotPushTheEntryPastTheEnd) {
  Add("11");
  // The issue again with another index page: its group header is there.
  ws.window.SetFieldText(Field::IndexPagePath, "other\\index.htm");
  AddIssueToContents(ws.window);
  const LineList lines = Lines();
  ASSERT_EQ(lines.size(), 28u);
  EXPECT_EQ(lines[22], "\t\t\t<param name=\"Local\" value=\"other\\index.htm\">");
  EXPECT_EQ(lines[24], "\t</UL>");  // the closing lines still close the file
  EXPECT_EQ(lines[27], "</HTML>");
}

TEST_F(Contents, HeaderAloneAtTheEndTakesTheEntryInsideItsList) {
  Add("11");
  // Only the group header of issue 11 is left; its "</OBJECT>" is the last one.
  LineList lines = Lines();
  lines.erase(lines.begin() + 16, lines.begin() + 20);
  WriteFile(fs::path(ws.help()) / kContentsFile, JoinLines(lines));
  Add("11");
  lines = Lines();
  ASSERT_EQ(lines.size(), 24u);
  EXPECT_EQ(lines[15], "\t<UL>");
  EXPECT_EQ(lines[16], "\t\t<LI> <OBJECT type=\"text/sitemap\">");
  EXPECT_EQ(lines[20], "\t</UL>");
}

// With TitledContents the issue's item reads as its title, as the navigation
// page and the book name it; an item the issue got before under its number
// is renamed in place, not listed twice, and back again with the switch off.
TEST_F(Contents, TitledContentsNameTheIssueByItsTitle) {
  Add("12");
  const std::string by_number = Bytes();
  ws.window.SetChecked(Switch::TitledContents, true);
  Add("12");
  LineList lines = Lines();
  ASSERT_EQ(lines.size(), SplitIntoLines(by_number).size());
  EXPECT_EQ(lines[12], Utf8To1251("\t\t\t<param name=\"Name\" value=\"Tavex №12\">"));
  EXPECT_EQ(lines[13], "\t\t\t<param name=\"Local\" value=\"tavex12\\index.htm\">");
  const std::string titled = Bytes();
  Add("12");
  EXPECT_EQ(Bytes(), titled);
  ws.window.SetChecked(Switch::TitledContents, false);
  Add("12");
  EXPECT_EQ(Bytes(), by_number);
}

TEST_F(Contents, LeadingBlankStaysInTheNamesAndNoObjectMeansTheTop) {
  WriteFile(fs::path(ws.help()) / kContentsFile, "<UL>\r\n</UL>\r\n");
  Add(" 21");
  const LineList lines = Lines();
  EXPECT_EQ(lines[2], "\t\t<param name=\"Name\" value=\" 21-30\">");
  EXPECT_EQ(lines[6], "\t\t\t<param name=\"Name\" value=\" 21\">");
  EXPECT_EQ(lines[9], "<UL>");
}

TEST(FindFiles, TakesArticleExtensionsAndSortsByTheLowerCasedPath) {
  Workspace ws;
  for (const char* name : {"Z.htm", "b.HTM", "c.html", "d.HTML", "e.txt", "Sub/a.htm", "noext"})
    WriteFile(fs::path(ws.source()) / name, "x");
  std::vector<std::string> list;
  // Sorted by the lower-cased path; listed under the folder as it was given
  // (on Windows the temporary folder has capitals: "C:\\users\\...\\Temp").
  const std::string folder = ws.source() + "\\";
  FindFiles(ws.source(), ".htm", list, ws.window);
  // Each file by the name it has, so that it is opened by that name.
  EXPECT_EQ(list, (std::vector<std::string>{folder + "b.HTM", folder + "c.html",
                                            folder + "Sub\\a.htm", folder + "Z.htm"}));
  EXPECT_GE(ws.window.pump_count(), 8);  // once per entry, the sub-folder's included

  list.clear();
  FindFiles(ws.source() + "/none", ".htm", list, ws.window);
  EXPECT_TRUE(list.empty());
}

TEST(FindFiles, PageArchivesAreArticlesNumberedWithThePages) {
  Workspace ws;
  for (const char* name : {"b.htm", "a.mht", "C.MHTML", "d.Mht", "e.mhtm", "f.mht.txt"})
    WriteFile(fs::path(ws.source()) / name, "x");
  std::vector<std::string> list;
  const std::string folder = ws.source() + "\\";
  FindFiles(ws.source(), ".htm", list, ws.window);
  EXPECT_EQ(list, (std::vector<std::string>{folder + "a.mht", folder + "b.htm", folder + "C.MHTML",
                                            folder + "d.Mht"}));
  // Another extension does not take them.
  list.clear();
  FindFiles(ws.source(), ".txt", list, ws.window);
  EXPECT_EQ(list, (std::vector<std::string>{folder + "f.mht.txt"}));
}

}  // namespace
}  // namespace tavex
