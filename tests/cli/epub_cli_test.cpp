// The EPUB edition through the command line: --set MakeEpub=on.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/cli_run.h"
#include "epub_test_support.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace tavex::cli {
namespace {

// A copy of the sample workspace without earlier builds' issues, built with
// the switch on or off and the extra arguments.
int BuildSample(const test::TempDir& dir, bool epub, std::vector<std::string> extra = {}) {
  fs::copy(MYTAVEX_DATA_DIR, dir.path(), fs::copy_options::recursive);
  for (const auto& entry : fs::directory_iterator(dir.path() / "help"))
    if (entry.is_directory()) fs::remove_all(entry.path());
  test::ScopedCurrentDir stay(fs::current_path());  // RunCli moves into --workdir
  std::vector<std::string> args = {"build",
                                   "--workdir",
                                   dir.text(),
                                   "--set",
                                   "RunCompiler=off",
                                   "--set",
                                   std::string("MakeEpub=") + (epub ? "on" : "off"),
                                   "--quiet"};
  args.insert(args.end(), extra.begin(), extra.end());
  std::ostringstream out, err;
  return RunCli(args, out, err, false);
}

TEST(CliEpub, TheSampleIssueMakesAValidBookOfItsKeptArticles) {
  test::TempDir dir;
  ASSERT_EQ(BuildSample(dir, true, {"--exclude", "Как выбрать модем"}), kExitSuccess);
  const std::string path = (dir.path() / "help/tavex1/tavex1/tavex1.epub").string();
  const auto book = test::ReadZip(path);
  ASSERT_FALSE(book.empty());
  EXPECT_EQ(book[0].name, "mimetype");
  EXPECT_TRUE(book[0].stored);
  const test::TZipEntry* nav = test::FindEntry(book, "EPUB/nav.xhtml");
  ASSERT_NE(nav, nullptr);
  EXPECT_NE(nav->bytes.find("<span>Интернет</span>"), std::string::npos) << nav->bytes;
  EXPECT_NE(nav->bytes.find("Браузеры: итоги года"), std::string::npos);
  EXPECT_EQ(nav->bytes.find("Как выбрать модем"), std::string::npos);
  const auto result = test::RunEpubcheck(path);
  if (!result) GTEST_SKIP() << "epubcheck is not installed";
  EXPECT_TRUE(result->passed) << result->output;
}

TEST(CliEpub, WithoutTheSwitchThereIsNoBook) {
  test::TempDir dir;
  ASSERT_EQ(BuildSample(dir, false), kExitSuccess);
  EXPECT_TRUE(fs::exists(dir.path() / "help/tavex1/tavex1/index.htm"));
  EXPECT_FALSE(fs::exists(dir.path() / "help/tavex1/tavex1/tavex1.epub"));
}

}  // namespace
}  // namespace tavex::cli
