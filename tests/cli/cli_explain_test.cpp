// clean --explain over the sample workspace's own rule files: each step and
// each rule file that changed the page, in order, and the page itself the
// same as without it.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "cli/cli_run.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace tavex::cli {
namespace {

using test::ReadFile;
using test::TempDir;

class CliExplain : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::copy(MYTAVEX_DATA_DIR, dir.path(), fs::copy_options::recursive);
    // A rule whose fragment the page does not hold: it changes nothing.
    std::ofstream(dir.path() / "HtmClear" / "unused.txt", std::ios::binary)
        << "<p>This sentence stands on no page of the sample.</p>\r\n";
  }
  // Cleans the sample's office page into target; out and the status.
  std::pair<int, std::string> Clean(const fs::path& target, bool explain) {
    test::ScopedCurrentDir stay(fs::current_path());  // RunCli moves into --workdir
    std::vector<std::string> args = {"clean",
                                     (dir.path() / "source" / "Software" / "office.htm").string(),
                                     target.string(), "--workdir", dir.text()};
    if (explain) args.push_back("--explain");
    std::ostringstream out, err;
    const int status = RunCli(args, out, err, false);
    EXPECT_EQ(err.str(), "");
    return {status, out.str()};
  }
  TempDir dir;
};

TEST_F(CliExplain, NamesEachStepAndRuleFileThatChangedThePageInOrder) {
  const auto [status, out] = Clean(dir.path() / "explained.htm", true);
  ASSERT_EQ(status, kExitSuccess) << out;
  // The pipeline's order: normalising, the replace rule, the content table,
  // the article block (the sample's mytavex.ini turns it on), the cut and
  // delete rules, the insert rule; the title last.
  const char* expected[] = {
      "нормализация: убрано строк ",
      "правило Fonts\\arial.cha, строка 2: убрано строк 4, добавлено 4\n"
      "  первая убранная: «<font face=\"arial\" size=\"2\">»\n"
      "  первая добавленная: «<font size=\"2\">»\n",
      "таблица статьи: убрано строк ", "блок статьи: убрано строк ",
      "правило banner.bet, строка 2: убрано строк 11, добавлено 0\n"
      "  первая убранная: «<!-- begin banner -->»\n",
      // A text longer than the width is cut, with "…" after it.
      "правило copyright.txt, строка 1: убрано строк 3, добавлено 0\n"
      "  первая убранная: «© Компьютерное обозрение. Перепечатка только с разрешения ре…»\n",
      "правило issue.ins, строка 2: убрано строк 0, добавлено 5\n"
      "  первая добавленная: «Журнал Tavex, выпуск №1»\n",
      "Обновление офисного пакета\n"};
  size_t at = 0;
  for (const char* block : expected) {
    const size_t found = out.find(block, at);
    ASSERT_NE(found, std::string::npos) << "missing or out of order: " << block << "\n" << out;
    at = found + 1;
  }
  EXPECT_TRUE(out.ends_with("Обновление офисного пакета\n"));
  // The rule that changed nothing is not listed; no step is listed twice.
  EXPECT_EQ(out.find("unused.txt"), std::string::npos) << out;
  EXPECT_EQ(out.find("таблица статьи:"), out.rfind("таблица статьи:"));
}

TEST_F(CliExplain, ThePageIsTheSameWithAndWithoutIt) {
  const auto [explained_status, explained] = Clean(dir.path() / "explained.htm", true);
  const auto [plain_status, plain] = Clean(dir.path() / "plain.htm", false);
  ASSERT_EQ(explained_status, kExitSuccess);
  ASSERT_EQ(plain_status, kExitSuccess);
  EXPECT_EQ(plain, "Обновление офисного пакета\n");
  EXPECT_GT(explained.size(), plain.size());
  const std::string page = ReadFile(dir.path() / "plain.htm");
  EXPECT_FALSE(page.empty());
  EXPECT_EQ(ReadFile(dir.path() / "explained.htm"), page);
}

TEST_F(CliExplain, IsAnOptionOfCleanOnly) {
  test::ScopedCurrentDir stay(fs::current_path());
  std::ostringstream out, err;
  EXPECT_EQ(RunCli({"build", "--explain", "--workdir", dir.text()}, out, err, false), kExitUsage);
  EXPECT_NE(err.str().find("неизвестный параметр «--explain» команды build"), std::string::npos)
      << err.str();
}

}  // namespace
}  // namespace tavex::cli
