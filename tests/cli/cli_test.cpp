#include <gtest/gtest.h>

#include <sstream>

#include "clean/line_list.h"
#include "cli/cli_options.h"
#include "cli/cli_run.h"
#include "platform/process.h"
#include "platform/text.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace tavex::cli {
namespace {

using test::ReadFile;
using test::TempDir;

struct Outcome {
  int status;
  std::string out, err;
};

// A copy of the sample workspace, without what earlier builds left in it.
class Cli : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::copy(MYTAVEX_DATA_DIR, dir.path(), fs::copy_options::recursive);
    for (const auto& entry : fs::directory_iterator(dir.path() / "help"))
      if (entry.is_directory() || entry.path().extension() == ".chm") fs::remove_all(entry.path());
  }

  Outcome Run(std::vector<std::string> args, bool terminal = false) {
    test::ScopedCurrentDir stay(fs::current_path());  // RunCli moves into --workdir
    std::ostringstream out, err;
    int status = RunCli(args, out, err, terminal);
    return {status, out.str(), err.str()};
  }
  Outcome Build(std::vector<std::string> extra) {
    std::vector<std::string> args = {"build", "--workdir", dir.text(), "--set", "RunCompiler=off"};
    args.insert(args.end(), extra.begin(), extra.end());
    return Run(args);
  }
  fs::path Issue(int number) const {
    const std::string name = "tavex" + std::to_string(number);
    return dir.path() / "help" / name / name;
  }

  TempDir dir;
};

TEST_F(Cli, BuildsTheSampleIssueFromItsSettings) {
  const std::string contents = ReadFile(dir.path() / "help" / "Table of Contents.hhc");
  Outcome run = Build({});
  ASSERT_EQ(run.status, kExitSuccess) << run.err;
  EXPECT_TRUE(fs::exists(Issue(1) / "index.htm"));
  EXPECT_TRUE(fs::exists(Issue(1) / "pub" / "6.htm"));
  EXPECT_FALSE(fs::exists(Issue(1) / "pub" / "7.htm"));
  EXPECT_TRUE(fs::exists(Issue(1) / "images" / "Logo.gif"));
  // The sample's contents already list issue 1: a build of it changes nothing.
  EXPECT_EQ(ReadFile(dir.path() / "help" / "Table of Contents.hhc"), contents);
  // Progress, one line per article on a pipe, names the rubric in UTF-8.
  EXPECT_NE(run.err.find("1 [Интернет 1/3] "), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("7 [Железо и техника 2/2] "), std::string::npos);
}

// A build without the EPUB library says so and, asked for the edition, makes
// the issue tree alone.
TEST_F(Cli, VersionNamesTheEditionsBuiltIn) {
  Outcome version = Run({"--version"});
  EXPECT_EQ(version.status, kExitSuccess);
  EXPECT_EQ(version.out.rfind("mytavex-cli " MYTAVEX_VERSION "\n", 0), 0u) << version.out;
  const bool epub = MYTAVEX_EPUB_BUILT;
  EXPECT_EQ(version.out.find("EPUB edition: built in") != std::string::npos, epub);
  EXPECT_EQ(version.out.find("EPUB edition: not built in") != std::string::npos, !epub);
  // Only alone: with a command it is an unknown option, as before.
  EXPECT_EQ(Run({"build", "--version"}).status, kExitUsage);
  if (epub) return;
  ASSERT_EQ(Build({"--set", "MakeEpub=on", "--quiet"}).status, kExitSuccess);
  EXPECT_TRUE(fs::exists(Issue(1) / "index.htm"));
  for (const auto& entry : fs::recursive_directory_iterator(dir.path()))
    EXPECT_NE(entry.path().extension(), ".epub") << entry.path();
}

TEST_F(Cli, SetValuesRubricsAndQuietReplaceTheSavedOnes) {
  Outcome run = Build({"--set", "IssueNumber=12", "--set", "IssueDate=2024-02-29", "--rubric",
                       "Software=Софт = программы", "--quiet"});
  ASSERT_EQ(run.status, kExitSuccess) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_TRUE(fs::exists(Issue(12) / "pub" / "1.htm"));
  EXPECT_FALSE(fs::exists(Issue(12) / "pub" / "2.htm"));
  const LineList left = LoadLines((Issue(12) / "frame" / "left.htm").string());
  EXPECT_NE(std::find(left.begin(), left.end(), Utf8To1251("Софт = программы")), left.end());
  const std::string contents = ReadFile(dir.path() / "help" / "Table of Contents.hhc");
  EXPECT_NE(contents.find("tavex12\\tavex12\\index.htm"), std::string::npos);
}

TEST_F(Cli, ExcludeDropsEveryArticleWithThatTitle) {
  // Every page of the Software rubric gets the same title with the placeholder
  // cleaner and different ones with the real cleaner; either way the first
  // page's title goes, with all its namesakes.
  ASSERT_EQ(Build({"--rubric", "Software=Soft", "--quiet"}).status, kExitSuccess);
  const LineList first = LoadLines((Issue(1) / "frame" / "left.htm").string());
  const auto link = std::find(first.begin(), first.end(), "<a href=\"..\\pub\\0.htm\">");
  ASSERT_NE(link, first.end());
  const std::string title = Cp1251ToUtf8(*(link + 1));

  ASSERT_EQ(Build({"--rubric", "Software=Soft", "--exclude", title, "--quiet"}).status,
            kExitSuccess);
  EXPECT_FALSE(fs::exists(Issue(1) / "pub" / "0.htm"));
  const LineList left = LoadLines((Issue(1) / "frame" / "left.htm").string());
  EXPECT_EQ(std::find(left.begin(), left.end(), Utf8To1251(title)), left.end());
}

TEST_F(Cli, ExitStatusesTellUsageNumbersAndFailuresApart) {
  EXPECT_EQ(Run({}).status, kExitUsage);
  EXPECT_EQ(Run({"publish"}).status, kExitUsage);
  EXPECT_EQ(Build({"--set", "Colour=red"}).status, kExitUsage);
  EXPECT_EQ(Build({"--set", "RemoveAds=yes"}).status, kExitUsage);
  EXPECT_EQ(Build({"--set", "IssueDate=2023-02-29"}).status, kExitUsage);
  EXPECT_EQ(Build({"--rubric", "=Title"}).status, kExitUsage);
  EXPECT_EQ(Build({"--exclude"}).status, kExitUsage);
  EXPECT_EQ(Run({"clean", "only-one"}).status, kExitUsage);
  EXPECT_EQ(Run({"build", "--workdir", (dir.path() / "none").string()}).status, kExitUsage);
  EXPECT_EQ(Run({"--help"}).status, kExitSuccess);

  Outcome number = Build({"--set", "IssueNumber=5a"});
  EXPECT_EQ(number.status, kExitUsage);
  EXPECT_EQ(number.err, "№ не число\n");
  EXPECT_FALSE(fs::exists(dir.path() / "help" / "tavex5a"));

  fs::remove(dir.path() / "left.htm");
  Outcome failed = Build({});
  EXPECT_EQ(failed.status, kExitFailure);
  EXPECT_EQ(failed.err.substr(failed.err.rfind("Cannot")),
            "Cannot open file left.htm\nleft.htm: No such file or directory\n");
}

TEST_F(Cli, BadSettingsFileFailsTheRun) {
  test::WriteFile(dir.path() / "tavex.sav", "x 1 2 3\r\n");
  Outcome run = Build({});
  EXPECT_EQ(run.status, kExitFailure);
  EXPECT_EQ(run.err, "'x' is not a valid integer value\ntavex.sav:1\n");
}

TEST_F(Cli, CleanWritesThePageAndPrintsItsTitle) {
  const fs::path target = dir.path() / "one.htm";
  Outcome run = Run({"clean", (dir.path() / "source" / "Software" / "office.htm").string(),
                     target.string(), "--workdir", dir.text()});
  ASSERT_EQ(run.status, kExitSuccess) << run.err;
  EXPECT_TRUE(fs::exists(target));
  // The title from the page's centred heading, in UTF-8 on a line of its own.
  EXPECT_EQ(run.out, "Обновление офисного пакета\n");
}

TEST_F(Cli, CleanReadsAPageArchive) {
  // A page saved as one archive: the command line has its reader plugged in.
  const fs::path source = dir.path() / "saved.mht";
  test::WriteFile(source,
                  "MIME-Version: 1.0\r\n"
                  "Content-Type: multipart/related; boundary=\"b\"; type=\"text/html\"\r\n\r\n"
                  "--b\r\nContent-Type: text/html; charset=\"utf-8\"\r\n"
                  "Content-Transfer-Encoding: quoted-printable\r\n"
                  "Content-Location: http://x.ru/a.html\r\n\r\n"
                  "<title>=D0=90=D1=80=D1=85=D0=B8=D0=B2</title><img src=3D\"P.gif\">\r\n"
                  "--b\r\nContent-Type: image/gif\r\nContent-Location: http://x.ru/P.gif\r\n"
                  "Content-Transfer-Encoding: base64\r\n\r\nR0lGODlh\r\n--b--\r\n");
  const fs::path target = dir.path() / "one.htm";
  Outcome run = Run({"clean", source.string(), target.string(), "--workdir", dir.text()});
  ASSERT_EQ(run.status, kExitSuccess) << run.err;
  EXPECT_EQ(run.out, "Архив\n");
  EXPECT_NE(ReadFile(target).find("<img src=\"..\\Images\\1.gif\">"), std::string::npos)
      << ReadFile(target);
}

TEST_F(Cli, TerminalGetsALiveBar) {
  Outcome run = Run({"build", "--workdir", dir.text(), "--set", "RunCompiler=off"}, true);
  ASSERT_EQ(run.status, kExitSuccess) << run.err;
  EXPECT_NE(run.err.find("\r\x1b[K["), std::string::npos);
  EXPECT_NE(run.err.find("100% rubric 3/3, article 2/2"), std::string::npos) << run.err;
}

TEST_F(Cli, CompilerRunReportsTheHelpFile) {
  if (!FindProgram("chmcmd")) GTEST_SKIP() << "chmcmd is not installed";
  Outcome run = Run({"build", "--workdir", dir.text(), "--quiet"});
  ASSERT_EQ(run.status, kExitSuccess) << run.err;
  EXPECT_NE(run.out.find("Файл справки собран: "), std::string::npos) << run.out;
  EXPECT_GT(fs::file_size(dir.path() / "help" / "tavex.chm"), 0u);

  // What the help file holds: the issue's pages, its article pictures (the
  // pages call the folder "Images") and the fixed ones, and the contents.
  if (!FindProgram("7zz")) return;
  const ProgramResult listing =
      RunProgram({"7zz", "l", (dir.path() / "help" / "tavex.chm").string()}, "");
  ASSERT_TRUE(listing.started);
  for (const char* name :
       {"tavex1/tavex1/index.htm", "tavex1/tavex1/frame/left.htm", "tavex1/tavex1/pub/0.htm",
        "tavex1/tavex1/pub/6.htm", "tavex1/tavex1/Images/1.gif", "tavex1/tavex1/images/tvred.gif",
        "Table of Contents.hhc"})
    EXPECT_NE(listing.output.find(name), std::string::npos) << name << "\n" << listing.output;
}

}  // namespace
}  // namespace tavex::cli
