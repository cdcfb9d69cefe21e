#include "build/help_compiler.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

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
  EXPECT_EQ(CompiledFileOf(dir / "p.hhp"), dir / "Out/Mag.chm");
  WriteFile(dir.path() / "q.hhp", "[OPTIONS]\r\nTitle=x\r\n");
  EXPECT_EQ(CompiledFileOf(dir / "q.hhp"), dir / "q.chm");
  EXPECT_EQ(CompilerLogOf(dir / "q.hhp"), dir / "q.log");
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

// Waiting for a program while something else goes on.
class Logged : public ::testing::Test {
 protected:
  test::TempDir dir;
  std::string log = (dir.path() / "run.log").string();
};

TEST_F(Logged, TheWaitLetsTheCallerWorkAndTheOutputGoesToTheLog) {
  int calls = 0;
  ProgramResult run = RunProgramLogged(
      {"sh", "-c", "echo first; sleep 0.4; echo second >&2; exit 3"}, dir.text(), log,
      [&] { ++calls; }, 10);
  EXPECT_TRUE(run.started);
  EXPECT_EQ(run.exit_code, 3);
  EXPECT_TRUE(run.output.empty());
  EXPECT_EQ(ReadFile(log), "first\nsecond\n");
  // 0.4 s at 10 ms a turn: far more than a handful of turns, whatever the load.
  EXPECT_GE(calls, 5);
  // Nothing is left under a temporary name beside the log.
  int files = 0;
  for (const auto& entry : fs::directory_iterator(dir.path())) files += entry.is_regular_file();
  EXPECT_EQ(files, 1);
}

TEST_F(Logged, AnEarlierLogIsReplacedWholeAndAMissingProgramIsNotStarted) {
  WriteFile(log, "old output\n");
  ProgramResult run = RunProgramLogged(
      {"mytavex-no-such-program"}, dir.text(), log, [] {}, 5);
  EXPECT_FALSE(run.started);
  EXPECT_EQ(ReadFile(log), "");
}

TEST_F(Logged, AThrowingWaitEndsTheProgramAndPassesTheExceptionOn) {
  const std::string pid_file = dir / "pid";
  int calls = 0;
  struct Closed {};
  EXPECT_THROW(RunProgramLogged(
                   {"sh", "-c", "echo $$ > '" + pid_file + "'; exec sleep 30"}, dir.text(), log,
                   [&] {
                     if (++calls == 20) throw Closed{};
                   },
                   10),
               Closed);
  const std::string pid_text = ReadFile(pid_file);
  ASSERT_FALSE(pid_text.empty());
  // The program is gone and reaped: no process with its id is left.
  EXPECT_EQ(kill(std::atoi(pid_text.c_str()), 0), -1);
  EXPECT_EQ(errno, ESRCH);
  EXPECT_TRUE(fs::exists(log));
}

// A stand-in for chmcmd on PATH: a shell script that behaves as the real one
// does on real pages.
class StandInCompiler : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* path = std::getenv("PATH");
    saved_path_ = path ? path : "";
    setenv("PATH", (bin.text() + ":" + saved_path_).c_str(), 1);
    WriteFile(dir.path() / "help" / "t.hhp", "[OPTIONS]\r\nCompiled file=out\\t.chm\r\n");
  }
  void TearDown() override { setenv("PATH", saved_path_.c_str(), 1); }

  void Install(const std::string& script) {
    const fs::path program = bin.path() / "chmcmd";
    WriteFile(program, "#!/bin/sh\n" + script);
    fs::permissions(program, fs::perms::owner_all);
  }

  test::TempDir bin, dir;
  MemoryWindow window;

 private:
  std::string saved_path_;
};

TEST_F(StandInCompiler, ManyErrorLinesAndAGoodFileMeanMade) {
  // Twenty thousand "Error" lines, then the file with the start page inside.
  Install(
      "i=0; while [ $i -lt 20000 ]; do echo \"Error: Html parsing page$i.htm\"; i=$((i+1)); "
      "done\nsleep 0.3\nmkdir -p out; printf 'ITSF /tavex3/tavex3/index.htm' > out/t.chm\n");
  OpenHelpProject(dir / "help/t.hhp", "tavex3\\tavex3\\index.htm", window);
  ASSERT_EQ(window.messages().size(), 1u);
  const std::string message = window.messages()[0];
  EXPECT_EQ(message, Utf8To1251("Файл справки собран: ") + (dir / "help/out/t.chm") +
                         Utf8To1251("\nВывод компилятора: ") + (dir / "help/t.log"));
  const std::string log = ReadFile(dir.path() / "help" / "t.log");
  EXPECT_NE(log.find("Error: Html parsing page19999.htm\n"), std::string::npos);
  // The window's messages ran during the wait.
  EXPECT_GT(window.pump_count(), 5);
}

TEST_F(StandInCompiler, AFileWithoutTheIssueIsNotMade) {
  Install("mkdir -p out; printf 'ITSF /tavex2/tavex2/index.htm' > out/t.chm\n");
  OpenHelpProject(dir / "help/t.hhp", "tavex3\\tavex3\\index.htm", window);
  ASSERT_EQ(window.messages().size(), 1u);
  EXPECT_EQ(window.messages()[0],
            Utf8To1251("Компилятор справки не собрал файл ") + (dir / "help/out/t.chm") +
                Utf8To1251(" (в нём нет стартовой страницы выпуска)\nВывод компилятора: ") +
                (dir / "help/t.log"));
}

TEST_F(StandInCompiler, AnOldFileLeftInPlaceIsNotMade) {
  WriteFile(dir.path() / "help" / "out" / "t.chm", "/tavex3/tavex3/index.htm");
  Install("echo 'Error: cannot write'\n");
  OpenHelpProject(dir / "help/t.hhp", "tavex3\\tavex3\\index.htm", window);
  ASSERT_EQ(window.messages().size(), 1u);
  EXPECT_NE(window.messages()[0].find(Utf8To1251("(файл не записан)")), std::string::npos);
  EXPECT_EQ(ReadFile(dir.path() / "help" / "t.log"), "Error: cannot write\n");
}

TEST_F(StandInCompiler, ClosingTheWindowEndsTheCompiler) {
  Install("sleep 30\n");
  window.on_pump = [this] {
    if (window.pump_count() == 10) throw Cancelled();
  };
  const auto started = std::chrono::steady_clock::now();
  EXPECT_THROW(OpenHelpProject(dir / "help/t.hhp", "", window), Cancelled);
  EXPECT_TRUE(window.messages().empty());
  // Ended, not waited for: far less than the stand-in's 30 seconds.
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(15));
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
  OpenHelpProject(dir / "help/t.hhp", "a.htm", window);
  ASSERT_EQ(window.messages().size(), 1u);
  EXPECT_EQ(window.messages()[0], Utf8To1251("Файл справки собран: ") + (dir / "help/t.chm") +
                                      Utf8To1251("\nВывод компилятора: ") + (dir / "help/t.log"));
  EXPECT_GT(fs::file_size(dir.path() / "help" / "t.chm"), 0u);
  EXPECT_FALSE(ReadFile(dir.path() / "help" / "t.log").empty());
}

TEST_F(HelpCompiler, APageTheProjectLacksIsNotInTheFile) {
  OpenHelpProject(dir / "help/t.hhp", "tavex9\\tavex9\\index.htm", window);
  ASSERT_EQ(window.messages().size(), 1u);
  EXPECT_EQ(window.messages()[0].rfind(Utf8To1251("Компилятор справки не собрал файл"), 0), 0u);
}

}  // namespace
}  // namespace tavex
