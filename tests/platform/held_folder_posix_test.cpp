// Folders resolved once and reached through their descriptors, over real
// folders and links: what a run checked is what it writes, whatever happens
// to the names meanwhile.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <set>

#include "platform/files.h"
#include "platform/held_folder.h"
#include "platform/name_text.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace tavex {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

TEST(ResolveFolder, DotDotLeadsWhereTheSystemGoesAndMissingLevelsAreMadeOneByOne) {
  TempDir dir;
  fs::create_directories(dir.path() / "real" / "inner");
  fs::create_directories(dir.path() / "Work");
  fs::create_directory_symlink(dir.path() / "real" / "inner", dir.path() / "link");
  // Through a link, ".." is the parent of where the link leads.
  EXPECT_EQ(ResolveFolder(dir / "link/..", false).folder.real(), (dir.path() / "real").string());
  // After a missing level, ".." comes back to that level's parent; the next
  // level is then looked up for real, letter case included.
  TResolvedFolder work = ResolveFolder(dir / "x/../WORK/", false);
  EXPECT_FALSE(work.missing);
  EXPECT_EQ(work.folder.real(), (dir.path() / "Work").string());
  EXPECT_FALSE(fs::exists(dir.path() / "x"));

  TResolvedFolder missing = ResolveFolder(dir / "new/a/../b", false);
  EXPECT_TRUE(missing.missing);
  EXPECT_FALSE(missing.folder.held());
  EXPECT_EQ(missing.real, (dir.path() / "new" / "b").string());
  EXPECT_FALSE(fs::exists(dir.path() / "new"));
  TResolvedFolder made = ResolveFolder(dir / "new/a/../b", true);
  ASSERT_TRUE(made.folder.held());
  EXPECT_EQ(made.folder.real(), missing.real);
  EXPECT_TRUE(fs::is_directory(dir.path() / "new" / "b"));
  EXPECT_FALSE(fs::exists(dir.path() / "new" / "a"));  // never needed, never made

  // A file where a level belongs holds nothing.
  WriteFile(dir.path() / "file", "x");
  TResolvedFolder blocked = ResolveFolder(dir / "file/sub", true);
  EXPECT_FALSE(blocked.folder.held());
  EXPECT_EQ(blocked.error, ENOTDIR);
}

TEST(FolderBinding, ABoundTextReachesTheHeldFolderAfterItsNameIsSwappedForALink) {
  TempDir dir;
  fs::create_directories(dir.path() / "issue" / "pub");
  WriteFile(dir.path() / "elsewhere" / "keep.txt", "keep");
  HeldFolder issue = ResolveFolder(dir / "issue", false).folder;
  ASSERT_TRUE(issue.held());
  const std::string typed = dir / "issue";
  {
    FolderBinding bound(typed, &issue, LinkRule::Never);
    // Another process moves the folder away and puts a link in its place.
    fs::rename(dir.path() / "issue", dir.path() / "moved");
    fs::create_directory_symlink(dir.path() / "elsewhere", dir.path() / "issue");
    ASSERT_TRUE(WriteFileWhole(typed + "\\pub\\0.htm", "page"));
    EXPECT_TRUE(FileExists(typed + "\\pub\\0.htm"));
    EXPECT_FALSE(FileExists(typed + "\\keep.txt"));
    EXPECT_FALSE(RemoveFile(typed + "\\keep.txt"));
    EXPECT_EQ(RealPath(typed), (dir.path() / "moved").string());
    // Below an issue tree no part of the rest may be a link, and ".." leads
    // nowhere.
    fs::create_directory_symlink(dir.path() / "elsewhere", dir.path() / "moved" / "pub" / "out");
    EXPECT_FALSE(WriteFileWhole(typed + "\\pub\\out\\x.htm", "x"));
    EXPECT_FALSE(ReadFileBytes(typed + "\\pub\\out\\keep.txt"));
    EXPECT_FALSE(WriteFileWhole(typed + "\\..\\elsewhere\\x.htm", "x"));
    // While a run holds folders it writes nowhere else.
    EXPECT_FALSE(WriteFileWhole(dir / "elsewhere/new.txt", "x"));
    EXPECT_EQ(errno, EACCES);
    EXPECT_FALSE(CreateFolder(dir / "elsewhere/sub"));
  }
  EXPECT_EQ(ReadFile(dir.path() / "moved" / "pub" / "0.htm"), "page");
  EXPECT_EQ(ReadFile(dir.path() / "elsewhere" / "keep.txt"), "keep");
  EXPECT_FALSE(fs::exists(dir.path() / "elsewhere" / "x.htm"));
  EXPECT_FALSE(fs::exists(dir.path() / "elsewhere" / "new.txt"));
  // With every binding gone, paths are names again.
  EXPECT_TRUE(WriteFileWhole(dir / "elsewhere/new.txt", "x"));
}

TEST(FolderBinding, AFolderMissingWhenBoundNamesNothingEvenOnceItIsMade) {
  TempDir dir;
  const std::string typed = dir / "help";
  FolderBinding bound(typed, nullptr, LinkRule::Followed);
  fs::create_directories(dir.path() / "help");
  WriteFile(dir.path() / "help" / "Table of Contents.hhc", "contents");
  EXPECT_FALSE(FileExists(typed + "\\Table of Contents.hhc"));
  EXPECT_FALSE(ReadFileBytes(typed + "\\Table of Contents.hhc"));
  EXPECT_FALSE(WriteFileWhole(typed + "\\Table of Contents.hhc", "replaced"));
  EXPECT_EQ(ReadFile(dir.path() / "help" / "Table of Contents.hhc"), "contents");
}

TEST(FolderBinding, AFileBindingWritesWhereALinkedFileReallyIsAndTheLinkStays) {
  TempDir dir;
  WriteFile(dir.path() / "shared" / "contents.hhc", "old");
  fs::create_directories(dir.path() / "help");
  fs::create_symlink(dir.path() / "shared" / "contents.hhc",
                     dir.path() / "help" / "Table of Contents.hhc");
  const std::string typed = dir / "help/Table of Contents.hhc";
  std::optional<TResolvedFile> file = ResolveFile(typed);
  ASSERT_TRUE(file);
  EXPECT_EQ(file->name, "contents.hhc");
  {
    FolderBinding bound = FolderBinding::BindFile(typed, *file);
    ASSERT_TRUE(WriteFileWhole(typed, "new"));
  }
  EXPECT_TRUE(fs::is_symlink(dir.path() / "help" / "Table of Contents.hhc"));
  EXPECT_EQ(ReadFile(dir.path() / "shared" / "contents.hhc"), "new");
  // Outside a run a link to a file is written through as well.
  ASSERT_TRUE(WriteFileWhole(typed, "newer"));
  EXPECT_TRUE(fs::is_symlink(dir.path() / "help" / "Table of Contents.hhc"));
  EXPECT_EQ(ReadFile(dir.path() / "shared" / "contents.hhc"), "newer");
}

TEST(EmptyFolder, RemovesFilesAndLinksAsLinksAndRefusesAnythingElseBeforeRemovingAny) {
  TempDir dir;
  const fs::path pub = dir.path() / "pub";
  WriteFile(pub / "0.htm", "page");
  WriteFile(pub / "1.HTM", "page");
  WriteFile(dir.path() / "outside" / "keep.txt", "keep");
  fs::create_directory_symlink(dir.path() / "outside", pub / "linked");
  fs::create_symlink(dir.path() / "outside" / "keep.txt", pub / "keep.txt");
  ASSERT_EQ(::mkfifo((pub / "pipe").c_str(), 0600), 0);
  fs::create_directories(pub / "sub");

  std::optional<TEmptyingRefusal> refusal = EmptyFolder(pub.string(), {});
  ASSERT_TRUE(refusal);
  EXPECT_EQ(refusal->path, pub.string() + "\\pipe");
  EXPECT_EQ(refusal->error, 0);
  EXPECT_TRUE(fs::exists(pub / "0.htm"));  // nothing went
  fs::remove(pub / "pipe");
  refusal = RefuseToEmpty(pub.string());
  ASSERT_TRUE(refusal);
  EXPECT_EQ(refusal->path, pub.string() + "\\sub");
  fs::remove(pub / "sub");

  EXPECT_FALSE(EmptyFolder(pub.string(), {}));
  EXPECT_TRUE(fs::is_empty(pub));
  EXPECT_EQ(ReadFile(dir.path() / "outside" / "keep.txt"), "keep");
}

TEST(NameText, EveryListedNameLeadsBackToItsOwnFile) {
  TempDir dir;
  // Two names Windows-1251 cannot hold, a byte that is no UTF-8, a name that
  // looks like a reference, and one that would read as "?" in the code page.
  const std::vector<std::string> names = {"\xe2\x98\x83.gif", "\xe2\x98\x85.gif", "bad\xff.gif",
                                          "&#9731;.gif",      "&#38;.gif",        "?.gif"};
  for (const std::string& name : names) WriteFile(dir.path() / name, name);
  const std::vector<DirEntry> entries = ListFolder(dir.text());
  ASSERT_EQ(entries.size(), names.size());
  std::set<std::string> texts;
  for (const DirEntry& entry : entries) {
    texts.insert(entry.name);
    const auto bytes = ReadFileBytes(dir.text() + "\\" + entry.name);
    ASSERT_TRUE(bytes) << entry.name;
    EXPECT_EQ(NameTextOfUtf8(*bytes), entry.name);
  }
  EXPECT_EQ(texts.size(), names.size());
  EXPECT_TRUE(texts.count("&#9731;.gif"));
  EXPECT_TRUE(texts.count("&#38;#9731;.gif"));
  for (const std::string& name : names) EXPECT_EQ(Utf8OfNameText(NameTextOfUtf8(name)), name);
}

TEST(Temporaries, OnlyTheExactFormOfAGoneProcessIsRemovedBesideARewrittenFile) {
  TempDir dir;
  WriteFile(dir.path() / "index.htm", "old");
  const std::vector<std::string> kept = {
      "index.htm.tmp-notes.txt", "index.htm.tmp-123-0", ".index.htm.mytavex-tmp-999999999-0.bak",
      ".index.htm.mytavex-tmp-999999999",
      ".index.htm.mytavex-tmp-" + std::to_string(::getpid()) + "-7"};
  for (const std::string& name : kept) WriteFile(dir.path() / name, "mine");
  WriteFile(dir.path() / ".index.htm.mytavex-tmp-999999999-3", "a killed run's");
  ASSERT_TRUE(WriteFileWhole(dir / "index.htm", "new"));
  EXPECT_EQ(ReadFile(dir.path() / "index.htm"), "new");
  for (const std::string& name : kept) EXPECT_EQ(ReadFile(dir.path() / name), "mine") << name;
  EXPECT_FALSE(fs::exists(dir.path() / ".index.htm.mytavex-tmp-999999999-3"));
  size_t entries = 0;
  for (const auto& entry : fs::directory_iterator(dir.path())) entries += entry.exists();
  EXPECT_EQ(entries, kept.size() + 1);  // no temporary of this write is left
}

}  // namespace
}  // namespace tavex
