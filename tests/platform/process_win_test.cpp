// Waiting for a program on Windows with its output in a log: cmd.exe stands in
// for the help compiler (Windows only; the POSIX counterparts use sh).
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/files.h"
#include "platform/process.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace tavex {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

class WindowsLogged : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(FindProgram("cmd")); }
  TempDir dir;
  std::string log = Utf8OfPath(dir.path() / "run.log");
};

TEST_F(WindowsLogged, TheWaitLetsTheCallerWorkAndTheOutputGoesToTheLog) {
  int calls = 0;
  // The loop keeps cmd busy for a while before it prints, so the wait turns.
  const ProgramResult run = RunProgramLogged(
      {"cmd", "/c", "(for /L %i in (1,1,20000) do @rem) & echo first& echo second>&2& exit 3"},
      dir.text(), log, [&] { ++calls; }, 5);
  EXPECT_TRUE(run.started);
  EXPECT_EQ(run.exit_code, 3);
  EXPECT_TRUE(run.output.empty());
  EXPECT_EQ(ReadFile(log), "first\r\nsecond\r\n");
  EXPECT_GE(calls, 1);
  // Nothing is left under a temporary name beside the log.
  int files = 0;
  for (const auto& entry : fs::directory_iterator(dir.path())) files += entry.is_regular_file();
  EXPECT_EQ(files, 1);
}

TEST_F(WindowsLogged, AnEarlierLogIsReplacedAndAMissingProgramIsNotStarted) {
  WriteFile(log, "old output\n");
  const ProgramResult run = RunProgramLogged({"mytavex-no-such-program"}, dir.text(), log, [] {});
  EXPECT_FALSE(run.started);
  EXPECT_EQ(ReadFile(log), "");
}

TEST_F(WindowsLogged, CyrillicFoldersAndNamesBeyondWindows1251) {
  // "Выпуск ☃": the snowman has no Windows-1251 code.
  const fs::path folder = dir.path() / u8"\u0412\u044b\u043f\u0443\u0441\u043a \u2603";
  fs::create_directories(folder);
  const std::string named = Utf8OfPath(folder / u8"\u0436\u0443\u0440\u043d\u0430\u043b.log");
  const ProgramResult run = RunProgramLogged({"cmd", "/c", "echo ok> made.txt& echo done"},
                                             Utf8OfPath(folder), named, [] {});
  EXPECT_TRUE(run.started);
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(ReadFile(PathOfUtf8(named)), "done\r\n");
  // The program ran in that folder.
  EXPECT_EQ(ReadFile(folder / "made.txt"), "ok\r\n");
}

TEST_F(WindowsLogged, AThrowingWaitEndsTheProgramAndPassesTheExceptionOn) {
  struct Closed {};
  int calls = 0;
  const auto started = std::chrono::steady_clock::now();
  // Prints without end: a program still running would go on growing the log.
  // The window closes once the program has printed, however slowly it
  // started on a busy machine (or after ten seconds without a line).
  const auto printed = [&] {
    // The log is written under a temporary name beside it until it is kept.
    std::error_code error;
    const fs::path kept = PathOfUtf8(log);
    for (const auto& entry : fs::directory_iterator(kept.parent_path(), error))
      if (entry.path().filename().string().starts_with(kept.filename().string()) &&
          entry.file_size(error) > 0)
        return true;
    return false;
  };
  EXPECT_THROW(RunProgramLogged(
                   {"cmd", "/c", "for /L %i in (1,1,100000000) do @echo %i"}, dir.text(), log,
                   [&] {
                     if ((++calls >= 20 && printed()) || calls >= 1000) throw Closed{};
                   },
                   10),
               Closed);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(30));
  ASSERT_TRUE(fs::exists(log));
  const auto size = fs::file_size(log);
  EXPECT_GT(size, 0u);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(fs::file_size(log), size);
  // Ended and closed: the log can go at once, and no temporary is left.
  EXPECT_TRUE(fs::remove(log));
  EXPECT_TRUE(fs::is_empty(dir.path()));
}

}  // namespace
}  // namespace tavex
