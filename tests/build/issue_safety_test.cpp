// The build touches only what it made: real folders, real links, and the files
// that earlier versions lost, checked byte for byte afterwards.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <filesystem>
#include <random>

#include "app/memory_window.h"
#include "build/issue_tree.h"
#include "build/start_run.h"
#include "clean/pictures.h"
#include "dialog/apply_review.h"
#include "platform/failure.h"
#include "platform/folder_lock.h"
#include "platform/text.h"
#include "workspace.h"

namespace fs = std::filesystem;

namespace tavex {
namespace {

using test::MakeLink;
using test::ReadFile;
using test::WriteFile;

// What a test over links needs and wine (or a Windows user without the right)
// lacks.
constexpr const char* kNoLinks = "this system cannot make symbolic links here";
using test::kPosix;

// A named pipe: a source entry that is neither file nor folder (POSIX only;
// its test skips on Windows first).
bool MakeFifo(const fs::path& path) {
#ifdef _WIN32
  (void)path;
  return false;
#else
  return ::mkfifo(path.c_str(), 0600) == 0;
#endif
}

// The text of the Failure a run ends with; empty when it went through.
std::string RunFailure(test::Workspace& ws) {
  ArticleTable table;
  try {
    StartRun(ws.window, table);
  } catch (const Failure& failure) {
    return failure.what();
  }
  return {};
}

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

// A workspace with one rubric of two articles, each showing a picture.
class SafeBuild : public ::testing::Test {
 protected:
  void SetUp() override {
    ws.AddArticle("news/a.htm", "Alpha");
    ws.AddArticle("news/b.htm", "Beta");
    WriteFile(fs::path(ws.source()) / "news" / "p.gif", "GIF89a-picture");
    ws.SetRubrics({{"news", "News"}});
  }
  fs::path Out() const { return ws.target(); }
  fs::path Source() const { return ws.source(); }

  test::Workspace ws;
  test::TempDir elsewhere;  // the editor's other files, outside the workspace
};

TEST_F(SafeBuild, EmptyingRemovesLinksAsLinksAndNeverWhatTheyLeadTo) {
  ASSERT_EQ(RunFailure(ws), "");
  WriteFile(elsewhere.path() / "library" / "book.txt", "keep me");
  if (!MakeLink(elsewhere.path() / "library", Out() / "images" / "library"))
    GTEST_SKIP() << kNoLinks;
  ASSERT_TRUE(MakeLink(Source(), Out() / "pub" / "sources"));
  ASSERT_TRUE(MakeLink(elsewhere.path() / "library" / "book.txt", Out() / "frame" / "book.txt"));

  ASSERT_EQ(RunFailure(ws), "");
  EXPECT_EQ(ReadFile(elsewhere.path() / "library" / "book.txt"), "keep me");
  EXPECT_TRUE(fs::exists(Source() / "news" / "a.htm"));
  EXPECT_TRUE(fs::exists(Source() / "news" / "p.gif"));
  EXPECT_FALSE(fs::exists(fs::symlink_status(Out() / "images" / "library")));
  EXPECT_FALSE(fs::exists(fs::symlink_status(Out() / "pub" / "sources")));
  EXPECT_FALSE(fs::exists(fs::symlink_status(Out() / "frame" / "book.txt")));
  EXPECT_TRUE(fs::exists(Out() / "pub" / "1.htm"));
}

TEST_F(SafeBuild, AFolderThatIsNoIssueTreeIsRefusedUntouched) {
  // A home folder: its own images, pub and frame folders hold the owner's files.
  const fs::path home = elsewhere.path() / "home";
  WriteFile(home / "images" / "holiday" / "sea.jpg", "sea");
  WriteFile(home / "pub" / "notes.txt", "notes");
  ws.window.SetFieldText(Field::TargetDir, home.string());
  const std::string failure = RunFailure(ws);
  EXPECT_TRUE(Contains(failure, home.string())) << failure;
  EXPECT_TRUE(Contains(failure, kIssueMarkFile)) << failure;
  EXPECT_EQ(ReadFile(home / "images" / "holiday" / "sea.jpg"), "sea");
  EXPECT_EQ(ReadFile(home / "pub" / "notes.txt"), "notes");
  EXPECT_FALSE(fs::exists(home / kIssueMarkFile));
}

TEST_F(SafeBuild, MarkedTreesEmptyTreesAndOlderIssuesAreEmptied) {
  ASSERT_EQ(RunFailure(ws), "");  // an absent tree: made and marked
  EXPECT_TRUE(fs::exists(Out() / kIssueMarkFile));
  WriteFile(Out() / "pub" / "99.htm", "stale");
  ASSERT_EQ(RunFailure(ws), "");  // marked: emptied
  EXPECT_FALSE(fs::exists(Out() / "pub" / "99.htm"));

  // An issue built before the mark existed has its start page and navigation page.
  fs::remove(Out() / kIssueMarkFile);
  WriteFile(Out() / "images" / "77.gif", "stale");
  ASSERT_EQ(RunFailure(ws), "");
  EXPECT_FALSE(fs::exists(Out() / "images" / "77.gif"));

  // Folders that exist but hold nothing are as good as absent.
  const fs::path bare = elsewhere.path() / "bare";
  fs::create_directories(bare / "pub");
  fs::create_directories(bare / "images");
  ws.window.SetFieldText(Field::TargetDir, bare.string());
  ASSERT_EQ(RunFailure(ws), "");
  EXPECT_TRUE(fs::exists(bare / kIssueMarkFile));

  // A folder inside one of them is none the build made: the run stops there,
  // naming it, with nothing of the old issue removed.
  fs::create_directories(bare / "pub" / "old");
  WriteFile(bare / "pub" / "old" / "notes.txt", "notes");
  const std::string page = ReadFile(bare / "pub" / "0.htm");
  const std::string failure = RunFailure(ws);
  EXPECT_TRUE(Contains(failure, "old")) << failure;
  EXPECT_EQ(ReadFile(bare / "pub" / "old" / "notes.txt"), "notes");
  EXPECT_EQ(ReadFile(bare / "pub" / "0.htm"), page);
}

TEST_F(SafeBuild, TheWorkingFolderAndTheContentsAreNeverEmptiedOrOverwritten) {
  // The target is the working folder: the start page would replace the template.
  const std::string index_before = ReadFile(ws.dir().path() / "index.htm");
  ws.window.SetFieldText(Field::TargetDir, ws.dir().text());
  std::string failure = RunFailure(ws);
  EXPECT_TRUE(Contains(failure, ws.dir().text())) << failure;
  EXPECT_EQ(ReadFile(ws.dir().path() / "index.htm"), index_before);

  // The working folder is the target's "images" folder.
  {
    test::TempDir root;
    const fs::path work = root.path() / "images";
    fs::create_directories(work);
    for (const char* name : {"left.htm", "index.htm", "main.htm", "tvred.gif", "Logo.gif"})
      fs::copy_file(ws.dir().path() / name, work / name);
    WriteFile(work / "HtmClear" / "ads.bet", "rule");
    test::ScopedCurrentDir in_work(work);
    ws.window.SetFieldText(Field::TargetDir, root.text());
    failure = RunFailure(ws);
    EXPECT_TRUE(Contains(failure, work.string())) << failure;
    EXPECT_EQ(ReadFile(work / "HtmClear" / "ads.bet"), "rule");
    EXPECT_EQ(ReadFile(work / "left.htm"), test::kLeftTemplate);
  }

  // The contents file lies in the target's "pub" folder.
  ws.window.SetFieldText(Field::TargetDir, ws.target());
  ws.window.SetFieldText(Field::IssuesRoot, ws.target() + "/pub");
  WriteFile(Out() / "pub" / "Table of Contents.hhc", test::kContentsWithIssue10);
  failure = RunFailure(ws);
  EXPECT_TRUE(Contains(failure, "Table of Contents.hhc")) << failure;
  EXPECT_EQ(ReadFile(Out() / "pub" / "Table of Contents.hhc"), test::kContentsWithIssue10);
}

TEST_F(SafeBuild, ARunThatCanReadNothingLeavesThePreviousIssue) {
  ASSERT_EQ(RunFailure(ws), "");
  const std::string page = ReadFile(Out() / "pub" / "0.htm");
  ASSERT_FALSE(page.empty());

  ws.window.SetFieldText(Field::SourceDir, ws.source() + "-mistyped");
  const std::string failure = RunFailure(ws);
  EXPECT_TRUE(Contains(failure, ws.source() + "-mistyped")) << failure;
  EXPECT_EQ(ReadFile(Out() / "pub" / "0.htm"), page);

  ws.window.SetFieldText(Field::SourceDir, ws.source());
  ws.window.SetFieldText(Field::CutCellsThreshold, "abc");
  ArticleTable table;
  EXPECT_EQ(StartRun(ws.window, table), StartResult::InputRejected);
  ASSERT_EQ(ws.window.messages().size(), 1u);
  EXPECT_TRUE(Contains(ws.window.messages()[0], Utf8To1251("для ячеек не число")));
  EXPECT_EQ(ReadFile(Out() / "pub" / "0.htm"), page);
}

TEST_F(SafeBuild, PicturesWithEqualFingerprintsButOtherBytesGetTheirOwnNumbers) {
  // Random pictures of one size until two share the 16-bit fingerprint.
  std::mt19937 random(7);
  std::unordered_map<uint32_t, std::string> seen;
  std::string first, second;
  while (second.empty()) {
    std::string bytes(64, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    auto [it, added] = seen.try_emplace(FingerprintOf(bytes, ws.window), bytes);
    if (!added && it->second != bytes) {
      first = it->second;
      second = bytes;
    }
  }
  WriteFile(Source() / "news" / "one.gif", first);
  WriteFile(Source() / "news" / "two.gif", second);
  WriteFile(Source() / "news" / "one-again.gif", first);
  WriteFile(Source() / "news" / "a.htm",
            "<html><head><title>A</title></head><body><img src=one.gif>"
            "<img src=two.gif><img src=one-again.gif></body></html>");
  ASSERT_EQ(RunFailure(ws), "");
  EXPECT_EQ(ReadFile(Out() / "images" / "1.gif"), first);
  EXPECT_EQ(ReadFile(Out() / "images" / "2.gif"), second);
  EXPECT_FALSE(fs::exists(Out() / "images" / "3.gif"));  // equal bytes share the number
  const std::string page = ReadFile(Out() / "pub" / "0.htm");
  EXPECT_TRUE(Contains(page,
                       "..\\Images\\1.gif\">\r\n<img src=\"..\\Images\\2.gif\">\r\n"
                       "<img src=\"..\\Images\\1.gif\">"))
      << page;
}

TEST_F(SafeBuild, ARemovedPicturesFolderIsMadeAgainWithItsSecondSpelling) {
  if (!kPosix) GTEST_SKIP() << "on Windows one folder answers to both spellings; no link is made";
  WriteFile(Source() / "news" / "a.htm",
            "<html><head><title>A</title></head><body><img src=p.gif></body></html>");
  ASSERT_EQ(RunFailure(ws), "");
  fs::remove_all(Out() / "images");
  ASSERT_TRUE(fs::is_symlink(Out() / "Images"));  // dangling now
  ASSERT_EQ(RunFailure(ws), "");
  EXPECT_TRUE(fs::is_directory(fs::symlink_status(Out() / "images")));
  EXPECT_EQ(ReadFile(Out() / "images" / "1.gif"), "GIF89a-picture");
  EXPECT_EQ(ReadFile(Out() / "Images" / "1.gif"), "GIF89a-picture");
}

TEST_F(SafeBuild, ASecondRunIntoAnIssueFolderInUseIsRefused) {
  fs::create_directories(Out());
  FolderLock other_run;
  ASSERT_EQ(other_run.TryLock(ws.target()), FolderLock::Result::Locked);
  const std::string failure = RunFailure(ws);
  EXPECT_TRUE(Contains(failure, ws.target())) << failure;
  EXPECT_FALSE(fs::exists(Out() / "pub"));
  other_run.Unlock();
  EXPECT_EQ(RunFailure(ws), "");
}

TEST_F(SafeBuild, LinksAndOddFilesInTheSourceAreSkippedWithAWarning) {
  if (!kPosix) GTEST_SKIP() << "named pipes and symbolic links are POSIX ones here";
  WriteFile(elsewhere.path() / "private" / "diary.htm",
            "<html><head><title>Diary</title></head><body>secret</body></html>");
  fs::create_symlink(elsewhere.path() / "private" / "diary.htm", Source() / "news" / "c.htm");
  fs::create_directory_symlink(elsewhere.path() / "private", Source() / "news" / "more");
  fs::create_directory_symlink(elsewhere.path() / "private", Source() / "linked");
  ASSERT_TRUE(MakeFifo(Source() / "news" / "pipe.htm"));
  // A link that stays inside the source folder is an article like any other.
  fs::create_directories(Source() / "shared");
  ws.AddArticle("shared/s.htm", "Shared");
  fs::create_symlink(Source() / "shared" / "s.htm", Source() / "news" / "s.htm");
  ws.SetRubrics({{"news", "News"}, {"linked", "Linked"}});

  ArticleTable table;
  StartRun(ws.window, table);
  ASSERT_EQ(table.Rubrics[0].size(), 3u);  // a, b and the inside link
  EXPECT_TRUE(table.Rubrics[1].empty());
  for (int page = 0; page < 3; ++page)
    EXPECT_FALSE(Contains(ReadFile(Out() / "pub" / (std::to_string(page) + ".htm")), "secret"));
  const auto& warnings = ws.window.warnings();
  const auto warned = [&](std::string_view path) {
    for (const std::string& w : warnings)
      if (Contains(w, path)) return true;
    return false;
  };
  EXPECT_TRUE(warned("c.htm"));
  EXPECT_TRUE(warned("more"));
  EXPECT_TRUE(warned("pipe.htm"));
  EXPECT_TRUE(warned("linked"));
  EXPECT_FALSE(warned("s.htm"));
}

TEST_F(SafeBuild, ArticlesWhoseNamesDifferOnlyInCaseAreTwoArticles) {
  if (!kPosix) GTEST_SKIP() << "a Windows folder cannot hold names that differ only in case";
  WriteFile(Source() / "news" / "A.htm",
            "<html><head><title>Upper</title></head><body>upper text</body></html>");
  WriteFile(Source() / "news" / "a.htm",
            "<html><head><title>Lower</title></head><body>lower text</body></html>");
  fs::remove(Source() / "news" / "b.htm");
  ArticleTable table;
  StartRun(ws.window, table);
  ASSERT_EQ(table.Rubrics[0].size(), 2u);
  EXPECT_TRUE(Contains(ReadFile(Out() / "pub" / "0.htm"), "upper text"));
  EXPECT_TRUE(Contains(ReadFile(Out() / "pub" / "1.htm"), "lower text"));
}

TEST_F(SafeBuild, OkRemovesOnlyItsOwnRowsHeading) {
  ws.AddArticle("net/n1.htm", "Net one");
  ws.AddArticle("net/n2.htm", "Net two");
  ws.SetRubrics({{"news", "Soft"}, {"missing", "Soft"}, {"net", "Net"}});
  ArticleTable table;
  StartRun(ws.window, table);
  table.Rubrics[2][0].Included = false;  // a change, so the page is rewritten
  ApplyReview(ws.window, table);
  const std::string left = ReadFile(Out() / "frame" / "left.htm");
  EXPECT_TRUE(Contains(left, "\r\nSoft\r\n")) << left;
  EXPECT_TRUE(Contains(left, "Alpha"));
}

TEST_F(SafeBuild, RubricCellsStayBelowTheSourceFolder) {
  WriteFile(elsewhere.path() / "private" / "x.htm", "<html>x</html>");
  for (const std::string& cell : {std::string("../private"), std::string("..\\out\\pub\\mine"),
                                  std::string("news/../../private"), elsewhere.text()}) {
    ws.window.SetRowCount(3);
    ws.window.SetCell(0, 2, cell);
    const std::string failure = RunFailure(ws);
    EXPECT_TRUE(Contains(failure, cell)) << cell << ": " << failure;
    EXPECT_TRUE(Contains(failure, " 2 ")) << failure;
    EXPECT_FALSE(fs::exists(Out()));
  }
}

TEST_F(SafeBuild, ATargetInsideTheSourceIsRefusedOnlyWhereItMeetsARubric) {
  ws.window.SetFieldText(Field::TargetDir, ws.source() + "/issues/out");
  EXPECT_EQ(RunFailure(ws), "");
  EXPECT_TRUE(fs::exists(Source() / "issues" / "out" / "pub" / "1.htm"));

  ws.window.SetFieldText(Field::TargetDir, ws.source() + "/news/out");
  const std::string failure = RunFailure(ws);
  EXPECT_TRUE(Contains(failure, ws.source() + "/news/out")) << failure;
  EXPECT_TRUE(fs::exists(Source() / "news" / "a.htm"));

  // A rubric folder that is a link into the issue's pages is caught by its real place.
  fs::create_directories(Out() / "pub");
  if (!MakeLink(Out() / "pub", Source() / "pages")) GTEST_SKIP() << kNoLinks;
  ws.window.SetFieldText(Field::TargetDir, ws.target());
  ws.SetRubrics({{"news", "News"}, {"pages", "Pages"}});
  EXPECT_TRUE(Contains(RunFailure(ws), "pages"));
}

TEST_F(SafeBuild, RewrittenFilesKeepTheirModeAndStaleTemporariesGo) {
  if (!kPosix) GTEST_SKIP() << "POSIX modes; files_win_test covers the Windows attributes";
  ws.window.SetChecked(Switch::AddToProject, true);
  const fs::path contents = fs::path(ws.help()) / "Table of Contents.hhc";
  fs::permissions(contents, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  // A killed run's temporary (no such process) and a running one's (this process).
  const fs::path help = ws.help();
  const std::string temp = ".Table of Contents.hhc.mytavex-tmp-";
  const fs::path stale = help / (temp + "999999999-0");
  const fs::path live = help / (temp + std::to_string(::getpid()) + "-999");
  WriteFile(stale, "cut off");
  WriteFile(live, "in progress");
  // The editor's own files that only look like temporaries stay, whatever
  // their numbers say: only the exact form of a regular file is ours.
  const std::vector<fs::path> lookalikes = {
      help / "Table of Contents.hhc.tmp-backup", help / "Table of Contents.hhc.tmp-999999999-0",
      help / (temp + "999999999-x"), help / (temp + "999999999-0.txt"),
      help / ("Table of Contents.hhc" + temp.substr(22) + "999999999-0")};
  for (const fs::path& file : lookalikes) WriteFile(file, "mine");
  fs::create_directories(help / (temp + "999999998-0"));
  ASSERT_EQ(RunFailure(ws), "");
  EXPECT_TRUE(Contains(ReadFile(contents), "tavex11\\index.htm"));
  EXPECT_EQ(fs::status(contents).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_FALSE(fs::exists(stale));
  EXPECT_TRUE(fs::exists(live));
  for (const fs::path& file : lookalikes) EXPECT_EQ(ReadFile(file), "mine") << file;
  EXPECT_TRUE(fs::is_directory(help / (temp + "999999998-0")));
}

}  // namespace
}  // namespace tavex
