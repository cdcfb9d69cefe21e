// Waiting for a program, and the help compiler stood in for, with POSIX shell
// scripts (the Windows counterparts are in tests/platform/process_win_test.cpp).
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "app/memory_window.h"
#include "build/help_compiler.h"
#include "platform/process.h"
#include "platform/text.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace tavex {
namespace {

using test::ReadFile;
using test::WriteFile;

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
  EXPECT_TRUE(OpenHelpProject(dir / "help/t.hhp", "tavex3\\tavex3\\index.htm", window));
  ASSERT_EQ(window.messages().size(), 1u);
  EXPECT_TRUE(window.warnings().empty());
  // The window said what it was waiting for, and cleared that after.
  EXPECT_EQ(window.statuses(),
            (std::vector<std::string>{Utf8To1251("Компиляция справки: chmcmd t.hhp…"), ""}));
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
  EXPECT_FALSE(OpenHelpProject(dir / "help/t.hhp", "tavex3\\tavex3\\index.htm", window));
  EXPECT_TRUE(window.messages().empty());
  ASSERT_EQ(window.warnings().size(), 1u);
  EXPECT_EQ(window.warnings()[0],
            Utf8To1251("Компилятор справки не собрал файл ") + (dir / "help/out/t.chm") +
                Utf8To1251(" (в нём нет стартовой страницы выпуска)\nВывод компилятора: ") +
                (dir / "help/t.log"));
}

// chmcmd exits 0 when it cannot even find the project: the warning carries
// its own words from the log, not only the log's name.
TEST_F(StandInCompiler, AFailedCompileIsAWarningWithItsCause) {
  Install(
      "echo 'chmcmd, a CHM compiler.'\necho 'Error: Html parsing a.htm'\n"
      "echo \"Can't find project file t.hhp\"\n");
  EXPECT_FALSE(OpenHelpProject(dir / "help/t.hhp", "tavex3\\tavex3\\index.htm", window));
  EXPECT_TRUE(window.messages().empty());
  ASSERT_EQ(window.warnings().size(), 1u);
  EXPECT_EQ(window.warnings()[0],
            Utf8To1251("Компилятор справки не собрал файл ") + (dir / "help/out/t.chm") +
                Utf8To1251(" (файл не записан)\nКомпилятор сообщил: Can't find project file "
                           "t.hhp\nВывод компилятора: ") +
                (dir / "help/t.log"));
}

// No help compiler at all: a warning that names the help file not made,
// where before the run went on without a word and the old file stayed.
TEST_F(StandInCompiler, NoCompilerOnPathIsAWarning) {
  WriteFile(dir.path() / "help" / "out" / "t.chm", "an old help file");
  test::TempDir empty;
  const std::string path = std::getenv("PATH");
  setenv("PATH", empty.text().c_str(), 1);
  const bool made = OpenHelpProject(dir / "help/t.hhp", "tavex3\\tavex3\\index.htm", window);
  setenv("PATH", path.c_str(), 1);
  EXPECT_FALSE(made);
  EXPECT_TRUE(window.messages().empty());
  EXPECT_EQ(window.warnings(),
            (std::vector<std::string>{
                Utf8To1251("Компилятор справки не найден (в PATH нет ни chmcmd, ни hhc): файл ") +
                (dir / "help/out/t.chm") + Utf8To1251(" не собран")}));
  EXPECT_EQ(ReadFile(dir.path() / "help" / "out" / "t.chm"), "an old help file");
}

TEST_F(StandInCompiler, AnOldFileLeftInPlaceIsNotMade) {
  WriteFile(dir.path() / "help" / "out" / "t.chm", "/tavex3/tavex3/index.htm");
  Install("echo 'Error: cannot write'\n");
  EXPECT_FALSE(OpenHelpProject(dir / "help/t.hhp", "tavex3\\tavex3\\index.htm", window));
  ASSERT_EQ(window.warnings().size(), 1u);
  EXPECT_NE(window.warnings()[0].find(Utf8To1251("(файл не записан)\nКомпилятор сообщил: "
                                                 "Error: cannot write")),
            std::string::npos);
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
  EXPECT_TRUE(window.warnings().empty());
  // Ended, not waited for: far less than the stand-in's 30 seconds.
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(15));
}

}  // namespace
}  // namespace tavex
