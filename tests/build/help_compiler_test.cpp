#include "build/help_compiler.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/memory_window.h"
#include "platform/process.h"
#include "platform/text.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace tavex {
namespace {

using test::ReadFile;
using test::WriteFile;

TEST(CompiledFileOf, ReadsTheProjectOptionOrFallsBackToItsName) {
  test::TempDir dir;
  WriteFile(dir.path() / "p.hhp", "[OPTIONS]\r\nCompiled file=Out\\Mag.chm  \r\n");
  // Compared as paths: on Windows the result has "\\" where the test wrote "/".
  EXPECT_EQ(fs::path(CompiledFileOf(dir / "p.hhp")), fs::path(dir / "Out/Mag.chm"));
  WriteFile(dir.path() / "q.hhp", "[OPTIONS]\r\nTitle=x\r\n");
  EXPECT_EQ(fs::path(CompiledFileOf(dir / "q.hhp")), fs::path(dir / "q.chm"));
  EXPECT_EQ(fs::path(CompilerLogOf(dir / "q.hhp")), fs::path(dir / "q.log"));
}

// The verdict on a help file, with files made by hand.
class Verdict : public ::testing::Test {
 protected:
  test::TempDir dir;
  std::string file = dir / "t.chm";
};

TEST_F(Verdict, OnlyANewNonEmptyFileWithTheStartPageCounts) {
  EXPECT_EQ(JudgeHelpFile(file, false, 0, "a.htm"), HelpFileVerdict::Missing);
  WriteFile(file, "");
  EXPECT_EQ(JudgeHelpFile(file, false, 0, "a.htm"), HelpFileVerdict::Empty);
  // The directory names pages with "/" and in the case the contents gave;
  // the start page is looked for whatever its separators and letter case.
  WriteFile(file, std::string("ITSF\0\0/Tavex1/tavex1/Index.htm\0", 32));
  EXPECT_EQ(JudgeHelpFile(file, false, 0, "tavex1\\tavex1\\index.htm"), HelpFileVerdict::Made);
  EXPECT_EQ(JudgeHelpFile(file, false, 0, ""), HelpFileVerdict::Made);
  EXPECT_EQ(JudgeHelpFile(file, false, 0, "tavex2\\tavex2\\index.htm"),
            HelpFileVerdict::WithoutStartPage);
}

TEST_F(Verdict, AFileLeftFromAnEarlierRunIsOld) {
  WriteFile(file, "/a.htm");
  const long long stamp = fs::last_write_time(file).time_since_epoch().count();
  EXPECT_EQ(JudgeHelpFile(file, true, stamp, "a.htm"), HelpFileVerdict::Old);
  EXPECT_EQ(JudgeHelpFile(file, true, stamp - 1, "a.htm"), HelpFileVerdict::Made);
}

// These run the real help compiler, which this machine has (Debian's fp-utils).
class HelpCompiler : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!FindProgram("chmcmd")) GTEST_SKIP() << "chmcmd is not installed";
    WriteFile(dir.path() / "help" / "t.hhp",
              "[OPTIONS]\r\nCompiled file=t.chm\r\nContents file=Table of Contents.hhc\r\n"
              "Default topic=a.htm\r\nLanguage=0x419\r\n\r\n[FILES]\r\na.htm\r\n");
    WriteFile(dir.path() / "help" / "a.htm", "<html><body>A</body></html>");
    WriteFile(dir.path() / "help" / "Table of Contents.hhc",
              "<HTML><BODY><UL><LI> <OBJECT type=\"text/sitemap\"><param name=\"Name\" "
              "value=\"A\"><param name=\"Local\" value=\"a.htm\"></OBJECT></UL></BODY></HTML>");
  }

  test::TempDir dir;
  MemoryWindow window;
};

TEST_F(HelpCompiler, ReportsTheFileItMadeFromAnotherCurrentFolder) {
  EXPECT_TRUE(OpenHelpProject(dir / "help/t.hhp", "a.htm", window));
  ASSERT_EQ(window.messages().size(), 1u);
  EXPECT_EQ(window.messages()[0], Utf8To1251("Файл справки собран: ") + (dir / "help/t.chm") +
                                      Utf8To1251("\nВывод компилятора: ") + (dir / "help/t.log"));
  EXPECT_GT(fs::file_size(dir.path() / "help" / "t.chm"), 0u);
  EXPECT_FALSE(ReadFile(dir.path() / "help" / "t.log").empty());
}

TEST_F(HelpCompiler, APageTheProjectLacksIsNotInTheFile) {
  EXPECT_FALSE(OpenHelpProject(dir / "help/t.hhp", "tavex9\\tavex9\\index.htm", window));
  EXPECT_TRUE(window.messages().empty());
  ASSERT_EQ(window.warnings().size(), 1u);
  EXPECT_EQ(window.warnings()[0].rfind(Utf8To1251("Компилятор справки не собрал файл"), 0), 0u);
}

// The real chmcmd on a project that is not there: it exits 0 and says why
// only in its output, which the warning quotes.
TEST_F(HelpCompiler, AMissingProjectIsNotMadeAndTheWarningSaysWhy) {
  EXPECT_FALSE(OpenHelpProject(dir / "help/none.hhp", "a.htm", window));
  ASSERT_EQ(window.warnings().size(), 1u);
  EXPECT_NE(window.warnings()[0].find(Utf8To1251("Компилятор сообщил: Can't find project file")),
            std::string::npos)
      << window.warnings()[0];
  EXPECT_NE(window.warnings()[0].find(dir / "help/none.log"), std::string::npos);
}

}  // namespace
}  // namespace tavex
