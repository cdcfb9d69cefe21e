// The EPUB edition through the command line: --set MakeEpub=on.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/cli_run.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace tavex::cli {
namespace {

// A copy of the sample workspace without earlier builds' issues, built with
// the switch on or off.
int BuildSample(const test::TempDir& dir, bool epub) {
  fs::copy(MYTAVEX_DATA_DIR, dir.path(), fs::copy_options::recursive);
  for (const auto& entry : fs::directory_iterator(dir.path() / "help"))
    if (entry.is_directory()) fs::remove_all(entry.path());
  test::ScopedCurrentDir stay(fs::current_path());  // RunCli moves into --workdir
  std::ostringstream out, err;
  return RunCli({"build", "--workdir", dir.text(), "--set", "RunCompiler=off", "--set",
                 std::string("MakeEpub=") + (epub ? "on" : "off"), "--quiet"},
                out, err, false);
}

TEST(CliEpub, MakeEpubWritesTheBookBesideTheIssue) {
  test::TempDir dir;
  ASSERT_EQ(BuildSample(dir, true), kExitSuccess);
  const std::string book = test::ReadFile(dir.path() / "help/tavex1/tavex1/tavex1.epub");
  // A zip whose first entry is the stored "mimetype".
  ASSERT_GT(book.size(), 58u);
  EXPECT_EQ(book.substr(0, 4), "PK\x03\x04");
  EXPECT_EQ(book.substr(30, 8), "mimetype");
  EXPECT_EQ(book.substr(38, 20), "application/epub+zip");
}

TEST(CliEpub, WithoutTheSwitchThereIsNoBook) {
  test::TempDir dir;
  ASSERT_EQ(BuildSample(dir, false), kExitSuccess);
  EXPECT_TRUE(fs::exists(dir.path() / "help/tavex1/tavex1/index.htm"));
  EXPECT_FALSE(fs::exists(dir.path() / "help/tavex1/tavex1/tavex1.epub"));
}

}  // namespace
}  // namespace tavex::cli
