#include "build/start_run.h"

#include <gtest/gtest.h>

#include "clean/line_list.h"
#include "platform/failure.h"
#include "platform/files.h"
#include "platform/shown_path.h"
#include "platform/text.h"
#include "workspace.h"

namespace fs = std::filesystem;

namespace tavex {
namespace {

using test::ReadFile;
using test::Workspace;
using test::WriteFile;

LineList Block(std::initializer_list<const char*> lines) {
  LineList block;
  for (const char* line : lines) block.push_back(Utf8To1251(line));
  return block;
}

LineList ArticleLines(const char* title_utf8, int page) {
  LineList lines = Block({"<tr>", "<td>", "<font size=\"2\">"});
  lines.push_back("<a href=\"..\\pub\\" + std::to_string(page) + ".htm\">");
  lines.push_back(Utf8To1251(title_utf8));
  for (const char* line : {"</a>", "</font>", "</td>", "</tr>"}) lines.push_back(line);
  return lines;
}

LineList HeadingLines(const char* name_utf8) {
  return Block(
      {"<td>", "<font color=\"#660000\">", "<b>", name_utf8, "</b>", "</font>", "</td>", "</tr>"});
}

void Append(LineList& lines, const LineList& more) {
  lines.insert(lines.end(), more.begin(), more.end());
}

// Two rubrics of 3 and 2 articles; the first rubric's titles sort differently
// from their files, the second holds one article in a sub-folder.
class TwoRubricBuild : public ::testing::Test {
 protected:
  void SetUp() override {
    ws.AddArticle("Soft/a.htm", "яблоко");
    ws.AddArticle("Soft/b.HTM", "Apple");
    ws.AddArticle("Soft/c.html", "Яблоко");
    ws.AddArticle("Soft/d.HTML", "Not an article");
    ws.AddArticle("Net/x.htm", "Сеть");
    ws.AddArticle("Net/deep/y.htm", "Антенна");
    ws.SetRubrics({{"Soft", "Программы"}, {"Missing", "Нет папки"}, {"Net", "Сети"}});
  }

  Workspace ws;
  ArticleTable table;
};

TEST_F(TwoRubricBuild, NumbersPagesAcrossTheIssueAndSortsTitles) {
  ASSERT_EQ(StartRun(ws.window, table), StartResult::Finished);
  for (int page = 0; page < 5; ++page)
    EXPECT_TRUE(fs::exists(fs::path(ws.target()) / "pub" / (std::to_string(page) + ".htm")));
  EXPECT_FALSE(fs::exists(fs::path(ws.target()) / "pub" / "5.htm"));

  ASSERT_EQ(table.Rubrics.size(), 3u);
  const auto& soft = table.Rubrics[0];
  ASSERT_EQ(soft.size(), 3u);
  EXPECT_EQ(soft[0].Title, "Apple");
  EXPECT_EQ(soft[0].LinkMarkup, "<a href=\"..\\pub\\1.htm\">");
  EXPECT_EQ(soft[0].FilePath, ws.target() + "\\pub\\1.htm");
  EXPECT_EQ(soft[1].Title, Utf8To1251("Яблоко"));
  EXPECT_EQ(soft[2].Title, Utf8To1251("яблоко"));
  EXPECT_TRUE(soft[2].Included);
  EXPECT_TRUE(table.Rubrics[1].empty());
  // deep/y.htm sorts before x.htm: "d" < "x".
  ASSERT_EQ(table.Rubrics[2].size(), 2u);
  EXPECT_EQ(table.Rubrics[2][0].LinkMarkup, "<a href=\"..\\pub\\3.htm\">");
  EXPECT_EQ(table.Rubrics[2][0].Title, Utf8To1251("Антенна"));
}

TEST_F(TwoRubricBuild, WritesTheNavigationPageLineByLine) {
  ASSERT_EQ(StartRun(ws.window, table), StartResult::Finished);
  LineList expected = {
      "<html><head><title>Tavex \xb9"
      "11</title></head>",
      "<table>", "<!-- begin -->"};
  Append(expected, HeadingLines("Программы"));
  Append(expected, ArticleLines("Apple", 1));
  Append(expected, ArticleLines("Яблоко", 2));
  Append(expected, ArticleLines("яблоко", 0));
  Append(expected, HeadingLines("Сети"));  // the missing folder gets no heading
  Append(expected, ArticleLines("Антенна", 3));
  Append(expected, ArticleLines("Сеть", 4));
  expected.push_back("</table>");
  EXPECT_EQ(LoadLines(ws.target() + "/frame/left.htm"), expected);
}

TEST_F(TwoRubricBuild, WritesStartPagePicturesAndContents) {
  ASSERT_EQ(StartRun(ws.window, table), StartResult::Finished);
  const fs::path out = ws.target();
  EXPECT_EQ(ReadFile(out / "index.htm"), test::kIndexTemplate);
  EXPECT_EQ(ReadFile(out / "images" / "tvred.gif"), "GIF89a-red");
  EXPECT_EQ(ReadFile(out / "images" / "Logo.gif"), "GIF89a-logo");
  EXPECT_FALSE(fs::exists(out / "frame" / "main.htm"));

  const LineList contents = LoadLines(ws.help() + "/Table of Contents.hhc");
  ASSERT_EQ(contents.size(), 24u);
  EXPECT_EQ(contents[10], "\t\t\t</OBJECT>");  // issue 10's entry ends here
  EXPECT_EQ(contents[11], "\t</UL>");
  EXPECT_EQ(contents[13], "\t\t<param name=\"Name\" value=\"11-20\">");
  EXPECT_EQ(contents[17], "\t\t\t<param name=\"Name\" value=\"11\">");
  EXPECT_EQ(contents[18], "\t\t\t<param name=\"Local\" value=\"tavex11\\index.htm\">");
  EXPECT_EQ(contents[20], "\t</UL>");
}

TEST_F(TwoRubricBuild, ReportsProgressAndResetsIt) {
  int article_updates = 0;
  ws.window.on_progress = [&](ProgressBar bar, int, int) {
    if (bar == ProgressBar::Articles) ++article_updates;
  };
  ASSERT_EQ(StartRun(ws.window, table), StartResult::Finished);
  EXPECT_EQ(article_updates, 5 + 1);  // one per article, then the reset
  EXPECT_EQ(ws.window.progress_max(ProgressBar::Rubrics), 2);
  EXPECT_EQ(ws.window.progress_position(ProgressBar::Rubrics), 0);
  EXPECT_GT(ws.window.pump_count(), 6);  // messages ran during the file search
}

TEST_F(TwoRubricBuild, SecondBuildEmptiesTheThreeFolders) {
  ASSERT_EQ(StartRun(ws.window, table), StartResult::Finished);
  const fs::path out = ws.target();
  WriteFile(out / "images" / "99.gif", "x");
  WriteFile(out / "frame" / "extra.htm", "x");
  WriteFile(out / "keep.txt", "x");
  fs::remove_all(fs::path(ws.source()) / "Net");

  ASSERT_EQ(StartRun(ws.window, table), StartResult::Finished);
  EXPECT_FALSE(fs::exists(out / "images" / "99.gif"));
  EXPECT_FALSE(fs::exists(out / "frame" / "extra.htm"));
  EXPECT_FALSE(fs::exists(out / "pub" / "3.htm"));  // the Net pages of the first build
  EXPECT_TRUE(fs::exists(out / "keep.txt"));        // only the three folders are emptied
  EXPECT_TRUE(table.Rubrics[2].empty());
}

TEST_F(TwoRubricBuild, TheEditionGetsTheIssueAsItStoodWhenTheReviewOpened) {
  ws.window.SetFieldText(Field::TargetDir, ws.dir() / "tavex#x1/");
  ws.window.SetChecked(Switch::MakeEpub, true);
  const std::string rubric = ws.window.Cell(1, 1);
  std::vector<std::string> calls;
  ws.window.on_review = [&](ArticleTable&) {
    calls.push_back("review " + ws.window.FieldText(Field::TargetDir));
    // The window's activation after the review puts the saved settings back.
    ws.window.SetFieldText(Field::TargetDir, "saved");
    ws.window.SetFieldText(Field::IssueNumber, "3");
    ws.window.SetCell(1, 1, "Saved");
    ws.window.SetChecked(Switch::MakeEpub, false);
  };
  ASSERT_EQ(StartRun(ws.window, table,
                     [&](MainWindow&, const TIssueFacts& issue, const ArticleTable& seen) {
                       calls.push_back("edition " + issue.TargetDir + " " + issue.IssueNumber +
                                       " " + issue.RubricNames.at(0));
                       EXPECT_EQ(&seen, &table);
                     }),
            StartResult::Finished);
  const std::string resolved = ws.dir() / "tavex11";
  EXPECT_EQ(calls, (std::vector<std::string>{"review " + resolved,
                                             "edition " + resolved + " 11 " + rubric}));
}

// A settings command during the run (the window's save and load buttons)
// sees the typed folder texts and changes only what the run's end gives back;
// the run goes on with its resolved folders, also when the command fails.
TEST_F(TwoRubricBuild, ASettingsCommandDuringTheRunWorksOnTheTypedTexts) {
  const std::string typed_target = ws.dir() / "tavex#x1/";
  ws.window.SetFieldText(Field::TargetDir, typed_target);
  ws.window.SetFieldText(Field::IndexPagePath, "tavex#x1\\index.htm");
  const std::string typed_source = ws.window.FieldText(Field::SourceDir);
  const std::string resolved = ws.dir() / "tavex11";
  TypedFolderTexts typed;
  std::vector<std::string> seen;
  ws.window.on_review = [&](ArticleTable&) {
    WithTypedFolderTexts(ws.window, typed, [&] {
      seen.push_back(ws.window.FieldText(Field::TargetDir));
      seen.push_back(ws.window.FieldText(Field::IndexPagePath));
      ws.window.SetFieldText(Field::TargetDir, "loaded#x1");
    });
    seen.push_back(ws.window.FieldText(Field::TargetDir));
    EXPECT_THROW(WithTypedFolderTexts(ws.window, typed,
                                      [&] {
                                        ws.window.SetFieldText(Field::SourceDir, "half-loaded");
                                        throw Failure("List index out of bounds (4)");
                                      }),
                 Failure);
    seen.push_back(ws.window.FieldText(Field::SourceDir));
    seen.push_back(ws.window.FieldText(Field::IndexPagePath));
  };
  ASSERT_EQ(StartRun(ws.window, table, {}, &typed), StartResult::Finished);
  EXPECT_EQ(seen, (std::vector<std::string>{typed_target, "tavex#x1\\index.htm", resolved,
                                            typed_source, "tavex11\\index.htm"}));
  EXPECT_FALSE(typed.held);
  EXPECT_EQ(ws.window.FieldText(Field::TargetDir), "loaded#x1");
  EXPECT_EQ(ws.window.FieldText(Field::SourceDir), "half-loaded");
  EXPECT_EQ(ws.window.FieldText(Field::IndexPagePath), "tavex#x1\\index.htm");
  EXPECT_TRUE(fs::exists(fs::path(resolved) / "pub" / "4.htm"));
  EXPECT_FALSE(fs::exists(ws.dir().path() / "loaded11"));

  // Outside a run the command works on the fields themselves.
  WithTypedFolderTexts(ws.window, typed,
                       [&] { ws.window.SetFieldText(Field::TargetDir, "after#x1"); });
  EXPECT_EQ(ws.window.FieldText(Field::TargetDir), "after#x1");
}

TEST(StartRun, NumberCheckRejectsBeforeAnythingChanges) {
  Workspace ws;
  ws.SetRubrics({{"Soft", "Soft"}});
  ArticleTable table;
  ws.window.SetFieldText(Field::IssueNumber, "5a");
  EXPECT_EQ(StartRun(ws.window, table), StartResult::InputRejected);
  ws.window.SetFieldText(Field::IssueNumber, " 7");
  ws.window.SetFieldText(Field::CutTablesThreshold, "");
  EXPECT_EQ(StartRun(ws.window, table), StartResult::InputRejected);
  EXPECT_EQ(ws.window.messages(),
            (std::vector<std::string>{Utf8To1251("№ не число"),
                                      Utf8To1251("Соотношение текст/ссылка не число")}));
  EXPECT_FALSE(fs::exists(ws.target()));
}

TEST(StartRun, RefusesOverlappingFoldersAndKeepsEverySourceFile) {
  Workspace ws;
  ws.AddArticle("Soft/a.htm", "A");
  WriteFile(fs::path(ws.source()) / "images" / "pic.gif", "GIF");
  WriteFile(fs::path(ws.source()) / "pub" / "page.htm", "page");
  ws.SetRubrics({{"Soft", "Soft"}});
  ArticleTable table;
  for (const std::string& target : {ws.source(), ws.source() + "/Soft/../", ws.dir().text()}) {
    ws.window.SetFieldText(Field::TargetDir, target);
    EXPECT_THROW(StartRun(ws.window, table), Failure) << target;
    EXPECT_EQ(ws.window.FieldText(Field::TargetDir), target);
  }
  EXPECT_EQ(ReadFile(fs::path(ws.source()) / "images" / "pic.gif"), "GIF");
  EXPECT_EQ(ReadFile(fs::path(ws.source()) / "pub" / "page.htm"), "page");
  EXPECT_TRUE(fs::exists(fs::path(ws.source()) / "Soft" / "a.htm"));
  EXPECT_FALSE(fs::exists(fs::path(ws.source()) / "frame"));
}

TEST(StartRun, FailureRestoresTheTypedFolderFields) {
  Workspace ws;
  ws.SetRubrics({{"Soft", "Soft"}});
  fs::remove("left.htm");
  WriteFile(ws.source() + "11/Soft/a.htm", "<html><head><title>A</title></head></html>");
  ws.window.SetFieldText(Field::SourceDir, ws.source() + "#x1");
  ws.window.SetFieldText(Field::TargetDir, ws.dir() / "tavex#x1\\");
  ArticleTable table;
  try {
    StartRun(ws.window, table);
    ADD_FAILURE() << "the run went through without its template";
  } catch (const Failure& failure) {
    EXPECT_STREQ(failure.what(), "Cannot open file left.htm\nleft.htm: No such file or directory");
  }
  EXPECT_EQ(ws.window.FieldText(Field::SourceDir), ws.source() + "#x1");
  EXPECT_EQ(ws.window.FieldText(Field::TargetDir), ws.dir() / "tavex#x1\\");
  EXPECT_EQ(ws.window.FieldText(Field::IndexPagePath), "tavex#x1\\index.htm");
  EXPECT_TRUE(fs::is_directory(ws.dir().path() / "tavex11" / "pub"));  // earlier stages stay
}

TEST(StartRun, EmptyTargetFailsBeforeTheFileSystemIsTouched) {
  Workspace ws;
  ws.window.SetFieldText(Field::TargetDir, "");
  ArticleTable table;
  EXPECT_THROW(StartRun(ws.window, table), Failure);
  EXPECT_FALSE(fs::exists(ws.dir().path() / "frame"));
}

// A mistyped rubric (every folder missing or empty) would make an issue of no
// article: the run fails before it empties anything, and the previous issue
// stays as it was. The warnings name each folder.
TEST(StartRun, ARunThatWouldMakeNoArticleFailsBeforeTheIssueIsEmptied) {
  Workspace ws;
  ws.AddArticle("Soft/a.htm", "A");
  ws.SetRubrics({{"Soft", "Soft"}});
  ArticleTable table;
  ASSERT_EQ(StartRun(ws.window, table), StartResult::Finished);
  const fs::path out = ws.target();
  const std::string page = ReadFile(out / "pub" / "0.htm");
  ASSERT_FALSE(page.empty());

  fs::create_directories(fs::path(ws.source()) / "Empty" / "sub");
  ws.SetRubrics({{"", "Empty cell"}, {"Nope", "Нет"}, {"Empty", "Пусто"}});
  bool reviewed = false;
  ws.window.on_review = [&](ArticleTable&) { reviewed = true; };
  try {
    StartRun(ws.window, table);
    ADD_FAILURE() << "a run of no article went through";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.what(),
              Utf8To1251("В папках рубрик нет ни одной статьи: выпуск не собран, папка ") +
                  ShownPath(ws.target()) + Utf8To1251(" не тронута"));
  }
  EXPECT_FALSE(reviewed);
  EXPECT_EQ(ReadFile(out / "pub" / "0.htm"), page);
  EXPECT_TRUE(fs::exists(out / "frame" / "left.htm"));
  EXPECT_TRUE(fs::exists(out / "images" / "Logo.gif"));
  const std::vector<std::string>& warnings = ws.window.warnings();
  ASSERT_EQ(warnings.size(), 2u);
  EXPECT_NE(warnings[0].find(Utf8To1251("«Нет»: нет папки")), std::string::npos);
  EXPECT_NE(warnings[1].find(Utf8To1251("«Пусто»: в папке")), std::string::npos);

  // Into a folder that does not exist yet: not even the folder is made.
  ws.window.SetFieldText(Field::TargetDir, ws.dir() / "fresh");
  EXPECT_THROW(StartRun(ws.window, table), Failure);
  EXPECT_FALSE(fs::exists(ws.dir().path() / "fresh"));
}

// A working folder without its rule folder applies no rule: the run says so,
// once, and goes on.
TEST(StartRun, AMissingRuleFolderIsWarnedAboutOnce) {
  Workspace ws;
  ws.AddArticle("Soft/a.htm", "A");
  ws.AddArticle("Soft/b.htm", "B");
  ws.SetRubrics({{"Soft", "Soft"}});
  ArticleTable table;
  ASSERT_EQ(StartRun(ws.window, table), StartResult::Finished);
  EXPECT_TRUE(ws.window.warnings().empty());

  fs::remove_all("HtmClear");
  ASSERT_EQ(StartRun(ws.window, table), StartResult::Finished);
  ASSERT_EQ(ws.window.warnings().size(), 1u);
  EXPECT_EQ(ws.window.warnings()[0], Utf8To1251("Нет папки правил HtmClear в рабочей папке ") +
                                         ShownPath(CurrentFolder()) +
                                         Utf8To1251(": правила не применены"));

  // With every switch that applies rules off, there is no rule to miss.
  for (Switch sw : {Switch::RemoveAds, Switch::ReplaceFragments, Switch::InsertExtraInfo})
    ws.window.SetChecked(sw, false);
  ASSERT_EQ(StartRun(ws.window, table), StartResult::Finished);
  EXPECT_EQ(ws.window.warnings().size(), 1u);
}

TEST(SortArticlesByTitle, OrdersByCodesAndKeepsEqualTitlesInOrder) {
  std::vector<TArticleEntry> rubric;
  for (const char* title : {"яблоко", "Яблоко", "Apple", "", "Apple"})
    rubric.push_back({Utf8To1251(title), std::to_string(rubric.size()), {}, true});
  SortArticlesByTitle(rubric);
  std::string order;
  for (const auto& entry : rubric) order += entry.LinkMarkup;
  EXPECT_EQ(order, "32410");
}

}  // namespace
}  // namespace tavex
