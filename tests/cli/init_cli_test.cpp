// mytavex-cli init DIR: a working folder made from the sample (here the
// checkout's data/, as for a program run from its build tree), whose issue
// then builds where it stands; a folder that holds files is refused untouched.
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "cli/cli_run.h"
#include "platform/files.h"
#include "platform/process.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace tavex::cli {
namespace {

using test::FileTree;
using test::ReadFile;
using test::TempDir;

struct Outcome {
  int status;
  std::string out, err;
};

Outcome RunCommand(const std::vector<std::string>& args) {
  test::ScopedCurrentDir stay(fs::current_path());  // RunCli moves into --workdir
  std::ostringstream out, err;
  const int status = RunCli(args, out, err, false);
  return {status, out.str(), err.str()};
}

TEST(CliInit, MakesAWorkingFolderWhoseSampleIssueBuildsInIt) {
  TempDir place;
  // A Cyrillic name, as a path and as the UTF-8 text a command line takes.
  const fs::path folder = place.path() / PathOfUtf8("Мой журнал");
  const std::string text = Utf8OfPath(folder);
  const Outcome init = RunCommand({"init", text});
  ASSERT_EQ(init.status, kExitSuccess) << init.err;
  EXPECT_NE(init.out.find("Рабочая папка создана: " + text), std::string::npos) << init.out;
  EXPECT_NE(init.out.find("mytavex-cli build --workdir " + text), std::string::npos);
  // The sample's own files, byte for byte; its settings name folders relative
  // to the working folder, so they serve the copy as they stand.
  const std::map<std::string, std::string> made = FileTree(folder);
  for (const char* name :
       {"tavex.sav", "mytavex.ini", "left.htm", "Logo.gif", "HtmClear/banner.bet",
        "source/Software/office.htm", "help/tavex.hhp", "help/Table of Contents.hhc"})
    EXPECT_EQ(made.at(name), ReadFile(fs::path(MYTAVEX_DATA_DIR) / name)) << name;
  EXPECT_EQ(made.count(".gitignore"), 0u);

  // The issue lands inside the new folder, and the help file too where the
  // compiler is installed.
  const bool compiler = FindProgram("chmcmd").has_value();
  const Outcome build = RunCommand({"build", "--workdir", text, "--quiet", "--set",
                                    compiler ? "RunCompiler=on" : "RunCompiler=off"});
  ASSERT_EQ(build.status, kExitSuccess) << build.err;
  const fs::path issue = folder / "help" / "tavex1" / "tavex1";
  EXPECT_NE(build.out.find("Выпуск 1: " + Utf8OfPath(issue)), std::string::npos) << build.out;
  EXPECT_NE(build.out.find("рубрик: 3, статей: 7, картинок: 6"), std::string::npos) << build.out;
  for (const char* page : {"index.htm", "frame/left.htm", "pub/0.htm", "pub/6.htm"})
    EXPECT_TRUE(fs::exists(issue / page)) << page;
  if (compiler) {
    EXPECT_GT(fs::file_size(folder / "help" / "tavex.chm"), 0u) << build.out;
  }
}

TEST(CliInit, AFolderThatHoldsFilesIsRefusedByNameAndLeftAsItWas) {
  TempDir folder;
  test::WriteFile(folder.path() / "tavex.sav", "the editor's settings");
  test::WriteFile(folder.path() / "help" / "notes.txt", "notes");
  const std::map<std::string, std::string> before = FileTree(folder.path());
  const Outcome init = RunCommand({"init", folder.text()});
  EXPECT_EQ(init.status, kExitFailure);
  EXPECT_EQ(init.out, "");
  EXPECT_NE(init.err.find("Папка " + folder.text() + " не пуста"), std::string::npos) << init.err;
  EXPECT_EQ(FileTree(folder.path()), before);
}

TEST(CliInit, TakesOneFolder) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"init"}, {"init", "a", "b"}, {"init", "--set", "x"}}) {
    const Outcome init = RunCommand(args);
    EXPECT_EQ(init.status, kExitUsage) << args.size();
    EXPECT_NE(init.err.find("mytavex-cli init DIR"), std::string::npos) << init.err;
  }
  const Outcome help = RunCommand({"init", "--help"});
  EXPECT_EQ(help.status, kExitSuccess);
  EXPECT_NE(help.out.find("  init DIR "), std::string::npos);
}

}  // namespace
}  // namespace tavex::cli
