// Each folder of a run is resolved once on the real file system and reached
// through its handle from then on. Every test here is an attack that once
// lost the editor's files or showed a wrong picture: the spellings of a
// folder that the checks and the writes used to read differently, roots and
// home folders, folders that are no issue tree, names that look like
// temporaries, entries that cannot be emptied, pictures whose names differ
// only in letter case, a page cleaned into a built issue, and a linked
// contents file. Real folders, real links, the whole tree compared byte for
// byte afterwards.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "app/memory_window.h"
#include "build/issue_tree.h"
#include "build/start_run.h"
#include "platform/failure.h"
#include "platform/text.h"
#include "support/tree_snapshot.h"
#include "workspace.h"

namespace fs = std::filesystem;

namespace tavex {
namespace {

using test::ReadFile;
using test::WriteFile;

using test::kPosix;
constexpr const char* kCaseBlind =
    "on Windows letter case names one folder, and \"..\" is read before any link";

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

// A run's failure text; empty when it went through.
std::string Build(MemoryWindow& window) {
  ArticleTable table;
  try {
    StartRun(window, table);
  } catch (const Failure& failure) {
    return failure.what();
  }
  return {};
}

// A working folder planted anywhere: the templates, the fixed pictures, a
// help project and a source folder with the rubric "Internet" (one article
// showing one picture). The window points at it with absolute paths, and it
// is the current folder while the object lives.
class Planted {
 public:
  explicit Planted(const fs::path& wd) : wd_(wd), current_(Plant(wd)) {
    test::PointWindowAt(window, (wd / "source").string(), (wd / "out").string(),
                        (wd / "help").string());
    window.SetChecked(Switch::AddToProject, true);
    test::SetRubricRows(window, {{"Internet", "Internet"}});
  }
  const fs::path& wd() const { return wd_; }

  MemoryWindow window;

 private:
  static const fs::path& Plant(const fs::path& wd) {
    WriteFile(wd / "left.htm", test::kLeftTemplate);
    WriteFile(wd / "index.htm", test::kIndexTemplate);
    WriteFile(wd / "main.htm", "<html>main</html>\r\n");
    WriteFile(wd / "tvred.gif", "GIF89a-red");
    WriteFile(wd / "Logo.gif", "GIF89a-logo");
    fs::create_directories(wd / "HtmClear");
    WriteFile(wd / "help" / "Table of Contents.hhc", test::kContentsWithIssue10);
    WriteFile(wd / "source" / "Internet" / "a.htm",
              "<html><head><title>Alpha</title></head><body><p>Text.</p>"
              "<img src=\"p.gif\"></body></html>\r\n");
    WriteFile(wd / "source" / "Internet" / "p.gif", "GIF89a-picture");
    return wd;
  }

  fs::path wd_;
  test::ScopedCurrentDir current_;
};

// A folder of the test's own that everything lies in.
class Resolution : public ::testing::Test {
 protected:
  // The path text below root, spelled as given ("x/../WD").
  std::string Spelled(std::string_view relative) const {
    return root.text() + "/" + std::string(relative);
  }
  // Builds and expects a refusal that names what; nothing below root may
  // change, not even an empty folder of the spelling appear.
  void ExpectRefusedUntouched(MemoryWindow& window, std::string_view what) {
    const test::TreeSnapshot before = test::SnapshotTree(root.path());
    const std::string failure = Build(window);
    EXPECT_TRUE(Contains(failure, what)) << failure;
    const test::TreeSnapshot after = test::SnapshotTree(root.path());
    EXPECT_EQ(test::LostOrChanged(before, after), "");
    EXPECT_EQ(after.size(), before.size()) << "the refused run made something";
  }

  test::TempDir root;
};

// 1. The spellings whose ".." and letter case the checks once read lexically
// while the writes, after making the missing level, read them for real.
TEST_F(Resolution, TargetSpelledThroughAMissingLevelAndOtherCaseIsTheFolderItReallyIs) {
  if (!kPosix) GTEST_SKIP() << kCaseBlind;
  {
    // The working folder itself: its start page template would be replaced.
    Planted work(root.path() / "wd");
    work.window.SetFieldText(Field::TargetDir, Spelled("x/../WD"));
    ExpectRefusedUntouched(work.window, "x/../WD");
  }
  {
    // A working folder inside the issue's pub folder would be emptied.
    Planted work(root.path() / "iss" / "pub" / "wd");
    work.window.SetFieldText(Field::TargetDir, Spelled("x/../ISS"));
    ExpectRefusedUntouched(work.window, (work.wd()).string());
  }
}

TEST_F(Resolution, SourceContentsAndRubricsAreFoundWhateverTheSpelling) {
  if (!kPosix) GTEST_SKIP() << kCaseBlind;
  {
    // The source folder lies in the issue's pictures folder.
    Planted work(root.path() / "wd");
    fs::create_directories(root.path() / "iss" / "images");
    fs::rename(work.wd() / "source", root.path() / "iss" / "images" / "src");
    work.window.SetFieldText(Field::SourceDir, (root.path() / "iss" / "images" / "src").string());
    work.window.SetFieldText(Field::TargetDir, Spelled("x/../ISS"));
    ExpectRefusedUntouched(work.window, "src");
  }
  {
    // The contents file lies in the issue's pages, named through a missing level.
    Planted work(root.path() / "wd2");
    WriteFile(root.path() / "iss" / "pub" / "h" / "Table of Contents.hhc",
              test::kContentsWithIssue10);
    work.window.SetFieldText(Field::TargetDir, Spelled("iss"));
    work.window.SetFieldText(Field::IssuesRoot, Spelled("iss/x/../PUB/h"));
    ExpectRefusedUntouched(work.window, "Table of Contents.hhc");
  }
  {
    // The issue would lie in a rubric folder and be read as articles.
    Planted work(root.path() / "wd3");
    work.window.SetFieldText(Field::TargetDir, Spelled("wd3/x/../SOURCE/Internet/iss"));
    ExpectRefusedUntouched(work.window, "Internet");
  }
}

TEST_F(Resolution, AMissingLevelOfAnAcceptedTargetIsMadeOnceAndTheIssueLandsThere) {
  Planted work(root.path() / "wd");
  // "a/b/../c": b is made on the way and left, as the system itself reads it.
  work.window.SetFieldText(Field::TargetDir, Spelled("new/b/../c//"));
  ASSERT_EQ(Build(work.window), "");
  EXPECT_TRUE(fs::exists(root.path() / "new" / "c" / "pub" / "0.htm"));
  EXPECT_TRUE(fs::exists(root.path() / "new" / "c" / "images" / "1.gif"));
  EXPECT_EQ(ReadFile(work.wd() / "index.htm"), test::kIndexTemplate);
}

// 2. Spellings of the root, and the home folder, are never an issue tree.
TEST_F(Resolution, TheRootAndTheHomeFolderAreRefusedByName) {
  Planted work(root.path() / "wd");
  for (const char* spelling : {"/", "//", "\\\\", "/.", "/./"}) {
    if (!kPosix) break;
    work.window.SetFieldText(Field::TargetDir, spelling);
    const std::string failure = Build(work.window);
    EXPECT_TRUE(Contains(failure, Utf8To1251("корень"))) << spelling << ": " << failure;
    EXPECT_FALSE(fs::exists("/mytavex.issue"));
  }
  const fs::path home = root.path() / "home";
  WriteFile(home / "index.htm", "my own start page");
  const char* saved = std::getenv("HOME");
  const std::string kept = saved ? saved : "";
#ifdef _WIN32
  _putenv_s("USERPROFILE", home.string().c_str());
#else
  setenv("HOME", home.c_str(), 1);
#endif
  work.window.SetFieldText(Field::TargetDir, home.string() + "/");
  const std::string failure = Build(work.window);
#ifdef _WIN32
  (void)kept;
#else
  if (saved) setenv("HOME", kept.c_str(), 1);
#endif
  EXPECT_TRUE(Contains(failure, Utf8To1251("домашняя"))) << failure;
  EXPECT_EQ(ReadFile(home / "index.htm"), "my own start page");
  EXPECT_FALSE(fs::exists(home / "pub"));
}

// 3. A folder the program did not make keeps the editor's start page.
TEST_F(Resolution, AFolderHoldingAStartPageOfItsOwnIsNoNewIssueTree) {
  Planted work(root.path() / "wd");
  const fs::path site = root.path() / "site";
  WriteFile(site / "index.htm", "the editor's own page");
  work.window.SetFieldText(Field::TargetDir, site.string());
  ExpectRefusedUntouched(work.window, "index.htm");
  // Once the page is gone the folder is a new tree like any empty one.
  fs::remove(site / "index.htm");
  EXPECT_EQ(Build(work.window), "");
  EXPECT_TRUE(fs::exists(site / kIssueMarkFile));
}

// 5. An entry of the three folders that cannot be emptied stops the run with
// the previous issue whole; no stale entry ever stands in for a picture.
TEST_F(Resolution, AnEntryThatCannotBeEmptiedStopsTheRunNamingIt) {
  Planted work(root.path() / "wd");
  ASSERT_EQ(Build(work.window), "");
  const fs::path out = work.wd() / "out";
  const std::string page = ReadFile(out / "pub" / "0.htm");
  ASSERT_EQ(ReadFile(out / "images" / "1.gif"), "GIF89a-picture");

  fs::remove(out / "images" / "1.gif");
  fs::create_directories(out / "images" / "1.gif");  // a folder where the picture goes
  WriteFile(out / "images" / "1.gif" / "stale.gif", "stale");
  std::string failure = Build(work.window);
  EXPECT_TRUE(Contains(failure, "1.gif")) << failure;
  EXPECT_EQ(ReadFile(out / "pub" / "0.htm"), page);  // nothing emptied, nothing written
  EXPECT_EQ(ReadFile(out / "images" / "1.gif" / "stale.gif"), "stale");
  fs::remove_all(out / "images" / "1.gif");

  if (!kPosix) return;
  ASSERT_EQ(::mkfifo((out / "images" / "2.gif").c_str(), 0600), 0);
  failure = Build(work.window);
  EXPECT_TRUE(Contains(failure, "2.gif")) << failure;
  EXPECT_EQ(ReadFile(out / "pub" / "0.htm"), page);
  fs::remove(out / "images" / "2.gif");

  // A file the system will not let go: its reason is shown.
  WriteFile(out / "images" / "3.gif", "stale");
  if (std::system(
          ("chattr +i '" + (out / "images" / "3.gif").string() + "' 2>/dev/null").c_str()) == 0) {
    failure = Build(work.window);
    std::system(("chattr -i '" + (out / "images" / "3.gif").string() + "'").c_str());
    EXPECT_TRUE(Contains(failure, "3.gif")) << failure;
    EXPECT_TRUE(Contains(failure, "Operation not permitted")) << failure;
    EXPECT_EQ(ReadFile(out / "images" / "3.gif"), "stale");
  }
  EXPECT_EQ(Build(work.window), "");
  EXPECT_EQ(ReadFile(out / "images" / "1.gif"), "GIF89a-picture");
  EXPECT_FALSE(fs::exists(out / "images" / "3.gif"));
}

// 7. Pictures by their exact names: a letter-case twin, and names the code
// page cannot hold.
TEST_F(Resolution, EachPictureIsTheFileOfItsOwnName) {
  if (!kPosix) GTEST_SKIP() << "a Windows folder cannot hold names that differ only in case";
  Planted work(root.path() / "wd");
  const fs::path news = work.wd() / "source" / "Internet";
  WriteFile(news / "Pic.gif", "GIF89a-upper");
  WriteFile(news / "pic.gif", "GIF89a-lower");
  WriteFile(news / "PIC.gif", "GIF89a-all-capitals");
  WriteFile(news / "snow.gif", "unused");
  WriteFile(news / "\xe2\x98\x83.gif", "GIF89a-snowman");  // ☃
  WriteFile(news / "\xe2\x98\x85.gif", "GIF89a-star");     // ★
  WriteFile(news / "a.htm",
            "<html><head><meta charset=\"utf-8\"><title>Twins</title></head><body>"
            "<img src=\"Pic.gif\"><img src=\"pic.gif\"><img src=\"PIC.gif\">"
            "<img src=\"\xe2\x98\x85.gif\"><img src=\"\xe2\x98\x83.gif\"></body></html>\r\n");
  ASSERT_EQ(Build(work.window), "");
  const fs::path images = work.wd() / "out" / "images";
  EXPECT_EQ(ReadFile(images / "1.gif"), "GIF89a-upper");
  EXPECT_EQ(ReadFile(images / "2.gif"), "GIF89a-lower");
  EXPECT_EQ(ReadFile(images / "3.gif"), "GIF89a-all-capitals");
  EXPECT_EQ(ReadFile(images / "4.gif"), "GIF89a-star");
  EXPECT_EQ(ReadFile(images / "5.gif"), "GIF89a-snowman");

  // Article files whose names the code page cannot hold are two articles.
  WriteFile(news / "\xe2\x98\x83.htm", "<html><head><title>Snowman</title></head></html>");
  WriteFile(news / "\xe2\x98\x85.htm", "<html><head><title>Star</title></head></html>");
  ArticleTable table;
  StartRun(work.window, table);
  ASSERT_EQ(table.Rubrics[0].size(), 3u);
  std::vector<std::string> titles;
  for (const TArticleEntry& entry : table.Rubrics[0]) titles.push_back(entry.Title);
  std::sort(titles.begin(), titles.end());
  EXPECT_EQ(titles, (std::vector<std::string>{"Snowman", "Star", "Twins"}));
}

// 9. A linked contents file is written where it really is; the link stays.
TEST_F(Resolution, ALinkedContentsFileGetsTheIssueAndStaysALink) {
  if (!kPosix) GTEST_SKIP() << "symbolic links to files are POSIX ones here";
  Planted work(root.path() / "wd");
  const fs::path shared = root.path() / "shared" / "contents.hhc";
  WriteFile(shared, test::kContentsWithIssue10);
  const fs::path contents = work.wd() / "help" / "Table of Contents.hhc";
  fs::remove(contents);
  fs::create_symlink(shared, contents);
  // A second project shares the file through a link of its own.
  const fs::path other = root.path() / "other" / "Table of Contents.hhc";
  fs::create_directories(other.parent_path());
  fs::create_symlink(shared, other);

  ASSERT_EQ(Build(work.window), "");
  EXPECT_TRUE(fs::is_symlink(contents));
  EXPECT_TRUE(Contains(ReadFile(shared), "tavex11\\index.htm"));
  EXPECT_TRUE(Contains(ReadFile(other), "tavex11\\index.htm"));

  // The link's own target in the issue's pages is caught by where it leads.
  fs::remove(contents);
  fs::create_directories(work.wd() / "out" / "pub");
  WriteFile(work.wd() / "out" / "pub" / "mine.hhc", test::kContentsWithIssue10);
  fs::create_symlink(work.wd() / "out" / "pub" / "mine.hhc", contents);
  const std::string failure = Build(work.window);
  EXPECT_TRUE(Contains(failure, "Table of Contents.hhc")) << failure;
  EXPECT_EQ(ReadFile(work.wd() / "out" / "pub" / "mine.hhc"), test::kContentsWithIssue10);
}

}  // namespace
}  // namespace tavex
