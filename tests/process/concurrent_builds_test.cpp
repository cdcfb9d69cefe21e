// Two real `mytavex-cli build` processes started at once on one working
// folder. Builds of different issues share the help contents file and must
// wait for each other so both issues reach it; builds of the same issue must
// not both write its tree at once. MYTAVEX_CLI is the built command's path.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "support/temp_dir.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {

using tavex::test::FileTree;
using tavex::test::ReadFile;
using tavex::test::TempDir;

constexpr int kRounds = 20;
// The contents file ends with these lines, in this order, and nothing after.
constexpr const char* kContentsEnd = "</UL>\r\n</BODY>\r\n</HTML>\r\n";
// The refusal of a second build into an issue folder, as printed in UTF-8.
constexpr const char* kBusyWords = "уже собирает другой запуск программы";

struct Outcome {
  int status = -1;
  std::string err;
};

// A started build: its process and the file its standard error goes to.
struct Started {
  pid_t pid = -1;
  fs::path err_file;
};

Started Start(const fs::path& workdir, int issue, const fs::path& err_file) {
  std::vector<std::string> args = {MYTAVEX_CLI,
                                   "build",
                                   "--workdir",
                                   workdir.string(),
                                   "--quiet",
                                   "--set",
                                   "RunCompiler=off",
                                   "--set",
                                   "AddToProject=on",
                                   "--set",
                                   "IssueDate=2024-03-01",
                                   "--set",
                                   "IssueNumber=" + std::to_string(issue)};
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, err_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  Started started{-1, err_file};
  const int error = posix_spawn(&started.pid, MYTAVEX_CLI, &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  EXPECT_EQ(error, 0) << "cannot start " << MYTAVEX_CLI;
  return started;
}

Outcome Wait(const Started& started) {
  Outcome outcome;
  int status = 0;
  if (started.pid > 0 && waitpid(started.pid, &status, 0) == started.pid && WIFEXITED(status))
    outcome.status = WEXITSTATUS(status);
  outcome.err = ReadFile(started.err_file);
  return outcome;
}

size_t Count(const std::string& text, const std::string& piece) {
  size_t count = 0;
  for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1))
    ++count;
  return count;
}

std::string Entry(int issue) {
  const std::string name = "tavex" + std::to_string(issue);
  return "\"" + name + "\\" + name + "\\index.htm\"";
}

// A copy of the sample workspace without what earlier builds left in it.
class TwoBuilds : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::copy(MYTAVEX_DATA_DIR, dir.path(), fs::copy_options::recursive);
    for (const auto& entry : fs::directory_iterator(dir.path() / "help"))
      if (entry.is_directory() || entry.path().extension() == ".chm") fs::remove_all(entry.path());
  }
  fs::path Contents() const { return dir.path() / "help" / "Table of Contents.hhc"; }
  fs::path Issue(int number) const {
    const std::string name = "tavex" + std::to_string(number);
    return dir.path() / "help" / name / name;
  }
  fs::path ErrFile(int which) const { return dir.path() / ("err" + std::to_string(which)); }

  TempDir dir;
};

TEST_F(TwoBuilds, DifferentIssuesBothReachTheSharedContents) {
  const std::string before = ReadFile(Contents());
  ASSERT_EQ(Count(before, kContentsEnd), 1u);
  std::vector<int> listed;
  for (int round = 0; round < kRounds; ++round) {
    const int first = 100 + 2 * round, second = first + 1;
    Started a = Start(dir.path(), first, ErrFile(0));
    Started b = Start(dir.path(), second, ErrFile(1));
    const Outcome ra = Wait(a), rb = Wait(b);
    // Nothing stands in their way: a build that fails here is a fault too.
    EXPECT_EQ(ra.status, 0) << "round " << round << ": " << ra.err;
    EXPECT_EQ(rb.status, 0) << "round " << round << ": " << rb.err;
    if (ra.status == 0) listed.push_back(first);
    if (rb.status == 0) listed.push_back(second);

    const std::string contents = ReadFile(Contents());
    ASSERT_GE(contents.size(), before.size()) << "round " << round;
    EXPECT_EQ(contents.compare(contents.size() - std::string(kContentsEnd).size(),
                               std::string::npos, kContentsEnd),
              0)
        << "round " << round << ": the contents do not end with their closing lines";
    EXPECT_EQ(Count(contents, "</HTML>"), 1u) << "round " << round;
    EXPECT_EQ(Count(contents, "<UL>"), Count(contents, "</UL>")) << "round " << round;
    for (int issue : listed)
      EXPECT_EQ(Count(contents, Entry(issue)), 1u) << "round " << round << ", issue " << issue;
    EXPECT_TRUE(fs::exists(Issue(first) / "index.htm"));
    EXPECT_TRUE(fs::exists(Issue(second) / "index.htm"));
  }
  EXPECT_EQ(listed.size(), 2u * kRounds);
  // The sample's own issue is still listed once.
  EXPECT_EQ(Count(ReadFile(Contents()), Entry(1)), 1u);
}

TEST_F(TwoBuilds, TheSameIssueIsBuiltByOneAtATime) {
  // The tree one build alone makes, to compare every round's tree with.
  const Outcome alone = Wait(Start(dir.path(), 7, ErrFile(0)));
  ASSERT_EQ(alone.status, 0) << alone.err;
  const auto reference = FileTree(Issue(7));
  ASSERT_GT(reference.size(), 5u);
  const std::string contents = ReadFile(Contents());

  int refused = 0;
  for (int round = 0; round < kRounds; ++round) {
    Started a = Start(dir.path(), 7, ErrFile(0));
    Started b = Start(dir.path(), 7, ErrFile(1));
    const Outcome ra = Wait(a), rb = Wait(b);
    // One is refused with the message naming the folder, or both ran in turn.
    EXPECT_TRUE(ra.status == 0 || rb.status == 0) << ra.err << rb.err;
    for (const Outcome* run : {&ra, &rb}) {
      if (run->status == 0) continue;
      ++refused;
      EXPECT_EQ(run->status, 1) << run->err;
      EXPECT_NE(run->err.find(kBusyWords), std::string::npos) << run->err;
      EXPECT_NE(run->err.find("tavex7"), std::string::npos) << run->err;
    }
    EXPECT_EQ(FileTree(Issue(7)), reference) << "round " << round << ": the tree differs";
    EXPECT_EQ(ReadFile(Contents()), contents) << "round " << round;
  }
  // Not asserted: whether the two ever overlapped depends on the scheduler.
  std::printf("refused builds: %d of %d rounds\n", refused, kRounds);
}

// A new issue's folder does not exist when both start: the one that makes it
// first must not be raced while it fills it, and the issue is listed once.
TEST_F(TwoBuilds, TheFirstBuildOfAnIssueIsRacedByNone) {
  TempDir alone_dir;
  fs::copy(dir.path(), alone_dir.path(), fs::copy_options::recursive);
  for (int round = 0; round < kRounds; ++round) {
    const int issue = 200 + round;
    Started a = Start(dir.path(), issue, ErrFile(0));
    Started b = Start(dir.path(), issue, ErrFile(1));
    const Outcome ra = Wait(a), rb = Wait(b);
    EXPECT_TRUE(ra.status == 0 || rb.status == 0) << ra.err << rb.err;
    for (const Outcome* run : {&ra, &rb}) {
      if (run->status == 0) continue;
      EXPECT_EQ(run->status, 1) << run->err;
      EXPECT_NE(run->err.find(kBusyWords), std::string::npos) << run->err;
    }

    const Outcome alone = Wait(Start(alone_dir.path(), issue, alone_dir.path() / "err"));
    ASSERT_EQ(alone.status, 0) << alone.err;
    const fs::path issue_dir = fs::relative(Issue(issue), dir.path());
    EXPECT_EQ(FileTree(Issue(issue)), FileTree(alone_dir.path() / issue_dir)) << "round " << round;
    EXPECT_EQ(Count(ReadFile(Contents()), Entry(issue)), 1u) << "round " << round;
  }
  EXPECT_EQ(ReadFile(Contents()), ReadFile(alone_dir.path() / "help" / "Table of Contents.hhc"));
}

}  // namespace
