// A second process swaps an entry of the issue's pages between a folder, a
// link to an outside folder and nothing, as fast as it can, while builds
// empty the issue again and again. The emptying looks at every entry through
// the folder's descriptor, refuses a folder and removes a link only as a
// link, so whatever the timing no outside file can go.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "app/memory_window.h"
#include "build/start_run.h"
#include "platform/failure.h"
#include "support/tree_snapshot.h"
#include "workspace.h"

namespace fs = std::filesystem;

namespace tavex {
namespace {

constexpr int kBuilds = 60;
constexpr int kOutsideFiles = 2000;

std::string Book(int i) {
  return "book" + std::to_string(i) + ".txt";
}

// Runs in the child until it is killed: pub/d is a folder, then nothing,
// then a link to outside, then nothing again. The folder and the link are
// kept ready beside pub, in the issue folder, and moved in and out by
// rename, so each state lasts alike. A link the build removed is made again.
// Only system calls, no test machinery.
[[noreturn]] void SwapForever(const fs::path& issue, const fs::path& outside) {
  const std::string d = (issue / "pub" / "d").string(), folder = (issue / "d-folder").string(),
                    link = (issue / "d-link").string();
  for (;;) {
    ::symlink(outside.c_str(), link.c_str());
    ::rename(folder.c_str(), d.c_str());
    ::rename(d.c_str(), folder.c_str());
    ::rename(link.c_str(), d.c_str());
    ::rename(d.c_str(), link.c_str());
  }
}

// The folder beside pub, holding files named as the outside folder's: a walk
// that listed it as pub/d and then removed its entries by name, through a
// link swapped in meanwhile, would remove the outside files.
void Arm(const fs::path& issue) {
  std::error_code ec;
  const fs::path d = issue / "pub" / "d";
  if (fs::is_symlink(fs::symlink_status(d, ec))) fs::remove(d, ec);
  if (fs::is_directory(fs::symlink_status(d, ec))) fs::rename(d, issue / "d-folder", ec);
  for (int i = 0; i < kOutsideFiles; ++i)
    if (!fs::exists(issue / "d-folder" / Book(i), ec))
      test::WriteFile(issue / "d-folder" / Book(i), "the issue's own");
}

TEST(LinkSwap, NoOutsideFileGoesWhileAnotherProcessSwapsAFolderForALink) {
  test::Workspace ws;
  ws.AddArticle("news/a.htm", "Alpha");
  ws.SetRubrics({{"news", "News"}});
  test::TempDir elsewhere;
  const fs::path outside = elsewhere.path() / "library";
  for (int i = 0; i < kOutsideFiles; ++i) test::WriteFile(outside / Book(i), "keep");
  const test::TreeSnapshot before = test::SnapshotTree(elsewhere.path());

  ArticleTable table;
  ASSERT_EQ(StartRun(ws.window, table), StartResult::Finished);
  const fs::path issue = ws.target();
  int finished = 0, refused = 0;
  for (int i = 0; i < kBuilds; ++i) {
    Arm(issue);
    const pid_t swapper = ::fork();
    ASSERT_GE(swapper, 0);
    if (swapper == 0) SwapForever(issue, outside);
    try {
      StartRun(ws.window, table);
      ++finished;
    } catch (const Failure&) {
      ++refused;  // a folder stood in pub when it was looked at, or came in meanwhile
    }
    ::kill(swapper, SIGKILL);
    ::waitpid(swapper, nullptr, 0);
  }
  EXPECT_EQ(test::LostOrChanged(before, test::SnapshotTree(elsewhere.path())), "");
  std::printf("%d builds: %d finished, %d refused a folder swapped into pub\n", kBuilds, finished,
              refused);
  EXPECT_EQ(finished + refused, kBuilds);
}

}  // namespace
}  // namespace tavex
