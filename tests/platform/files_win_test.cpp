// The file layer on Windows: drive letters and "\", Cyrillic names in
// Windows-1251 and beyond it, whole-file writes against readers that hold the
// file open, never-replacing copies, and the folder lock (Windows only).
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/files.h"
#include "platform/folder_lock.h"
#include "platform/held_folder.h"
#include "platform/process.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace tavex {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

// Новости in Windows-1251 and as the file system stores it.
constexpr const char* kNews1251 = "\xcd\xee\xe2\xee\xf1\xf2\xe8";
constexpr const wchar_t* kNewsWide = L"\u041d\u043e\u0432\u043e\u0441\u0442\u0438";

// A handle on a file as another program would hold it open for reading.
struct Reader {
  Reader(const fs::path& p, DWORD share)
      : h(CreateFileW(p.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr)) {}
  ~Reader() {
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
  std::string Read() {
    char buffer[64];
    DWORD got = 0;
    SetFilePointer(h, 0, nullptr, FILE_BEGIN);
    ::ReadFile(h, buffer, sizeof buffer, &got, nullptr);
    return std::string(buffer, got);
  }
  HANDLE h;
};

// The names in a folder, so a failing count shows what was left.
std::vector<std::string> Names(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  return names;
}

TEST(WindowsPaths, DriveLettersBackslashesAndForwardSlashes) {
  TempDir dir;
  WriteFile(dir.path() / "Rubric" / "Pics" / "A.GIF", "gif");
  const std::string root = dir.text();
  ASSERT_EQ(root.substr(1, 2), ":\\");  // a drive letter path
  // A picture path as a page writes it, with "/", below a "\" folder.
  EXPECT_EQ(ReadFileBytes(root + "\\rubric/pics/a.gif"), "gif");
  EXPECT_TRUE(FolderExists(root.substr(0, 3)));
  EXPECT_EQ(NativePath(root + "/Rubric/Pics").wstring(), (dir.path() / "Rubric\\Pics").wstring());
  // The real path keeps the drive letter and takes the letter case stored.
  const std::string real = RealPath(root + "\\rubric\\PICS\\..\\pics\\a.gif");
  EXPECT_EQ(real.substr(1, 2), ":\\");
  const std::string stored = "\\Rubric\\Pics\\A.GIF";
  ASSERT_GT(real.size(), stored.size());
  EXPECT_EQ(real.substr(real.size() - stored.size()), stored);
  EXPECT_EQ(RealPath(root + "\\rubric\\new\\x.htm"), RealPath(root + "\\Rubric") + "\\new\\x.htm");
  EXPECT_EQ(RealPath(root.substr(0, 3)), root.substr(0, 3));
  EXPECT_TRUE(IsWithinFolder(root + "\\RUBRIC\\pics\\a.gif", root + "\\Rubric"));
  EXPECT_FALSE(IsWithinFolder(root + "\\Rubric\\..\\x.gif", root + "\\Rubric"));
  EXPECT_FALSE(IsWithinFolder(root + "\\Rubricx\\a.gif", root + "\\Rubric"));
}

TEST(WindowsPaths, CyrillicNamesInWindows1251) {
  TempDir dir;
  ASSERT_TRUE(CreateFolder(dir.text() + "\\" + kNews1251));
  ASSERT_TRUE(WriteFileWhole(dir.text() + "\\" + kNews1251 + "\\" + kNews1251 + ".htm", "page"));
  // The system has the real letters, not bytes of a code page.
  EXPECT_EQ(ReadFile(dir.path() / kNewsWide / (std::wstring(kNewsWide) + L".htm")), "page");
  const auto entries = ListFolder(dir.text() + "\\\xed\xee\xe2\xee\xf1\xf2\xe8");  // новости
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name, std::string(kNews1251) + ".htm");
  EXPECT_TRUE(entries[0].is_regular);
  EXPECT_FALSE(entries[0].is_folder);
  EXPECT_EQ(RealPath(dir.text() + "\\" + kNews1251).substr(dir.text().size()),
            std::string("\\") + kNews1251);
}

TEST(WindowsPaths, NamesBeyondWindows1251AreReachedByTheirListedText) {
  TempDir dir;
  // "café ☃.htm" and "cafè ☂.htm": é, è, ☃ and ☂ are not in the code page,
  // so they are listed with character references, each its own text.
  WriteFile(dir.path() / L"caf\u00e9 \u2603.htm", "snowman");
  WriteFile(dir.path() / L"caf\u00e8 \u2602.htm", "umbrella");
  WriteFile(dir.path() / L"cafe x.htm", "plain");
  const auto entries = ListFolder(dir.text());
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].name, "caf&#232; &#9730;.htm");
  EXPECT_EQ(entries[1].name, "caf&#233; &#9731;.htm");
  EXPECT_EQ(entries[2].name, "cafe x.htm");
  // Each listed text reaches its own file.
  EXPECT_EQ(ReadFileBytes(dir.text() + "\\" + entries[0].name), "umbrella");
  EXPECT_EQ(ReadFileBytes(dir.text() + "\\" + entries[1].name), "snowman");
  EXPECT_FALSE(FileExists(dir.text() + "\\caf? ?.htm"));
  // A picture folder of such a name works as a folder too.
  ASSERT_TRUE(fs::create_directory(dir.path() / L"\u2603"));
  EXPECT_TRUE(WriteFileWhole(dir.text() + "\\&#9731;\\1.gif", "gif"));
  EXPECT_EQ(ReadFile(dir.path() / L"\u2603" / "1.gif"), "gif");
}

TEST(WindowsHeldFolder, ABoundTextReachesItsHeldFolderWhichCannotBeMovedMeanwhile) {
  TempDir dir;
  WriteFile(dir.path() / "elsewhere" / "keep.txt", "keep");
  TResolvedFolder issue = ResolveFolder(dir.text() + "\\new\\x\\..\\issue", true);
  ASSERT_TRUE(issue.folder.held());
  EXPECT_TRUE(fs::is_directory(dir.path() / "new" / "issue"));
  EXPECT_FALSE(fs::exists(dir.path() / "new" / "x"));  // Windows reads ".." from the text
  const std::string typed = dir.text() + "\\new\\issue";
  {
    FolderBinding bound(typed, &issue.folder, LinkRule::Never);
    // Held without sharing deletion: nothing can move it away meanwhile.
    EXPECT_FALSE(MoveFileW((dir.path() / "new" / "issue").c_str(), (dir.path() / "moved").c_str()));
    ASSERT_TRUE(CreateFolder(typed + "\\pub"));
    ASSERT_TRUE(WriteFileWhole(typed + "\\pub\\0.htm", "page"));
    ASSERT_TRUE(WriteFileWhole(typed + "\\pub\\0.htm", "page again"));
    EXPECT_EQ(ReadFileBytes(typed + "\\pub\\0.htm"), "page again");
    EXPECT_FALSE(WriteFileWhole(typed + "\\..\\elsewhere\\x.htm", "x"));
    // While a run holds folders it writes nowhere else.
    EXPECT_FALSE(WriteFileWhole(dir.text() + "\\elsewhere\\new.txt", "x"));
    EXPECT_FALSE(RemoveFile(dir.text() + "\\elsewhere\\keep.txt"));
    WriteFile(dir.path() / "new" / "issue" / "pub" / "old.htm", "old");
    EXPECT_FALSE(EmptyFolder(typed + "\\pub", {}));
    EXPECT_TRUE(fs::is_empty(dir.path() / "new" / "issue" / "pub"));
  }
  EXPECT_EQ(ReadFile(dir.path() / "elsewhere" / "keep.txt"), "keep");
  EXPECT_FALSE(fs::exists(dir.path() / "elsewhere" / "new.txt"));
  EXPECT_FALSE(fs::exists(dir.path() / "elsewhere" / "x.htm"));
  issue.folder = HeldFolder();
  EXPECT_TRUE(MoveFileW((dir.path() / "new" / "issue").c_str(), (dir.path() / "moved").c_str()));
}

TEST(WindowsFiles, CopyNeverReplacesNorCreatesFolders) {
  TempDir dir;
  WriteFile(dir.path() / "one.gif", "1");
  WriteFile(dir.path() / "two.gif", "2");
  EXPECT_FALSE(CopyFileNoReplace(dir / "one.gif", dir / "TWO.GIF"));  // the same file
  EXPECT_EQ(ReadFile(dir.path() / "two.gif"), "2");
  EXPECT_FALSE(CopyFileNoReplace(dir / "one.gif", dir / "missing\\one.gif"));
  EXPECT_TRUE(CopyFileNoReplace(dir / "one.gif", dir.text() + "\\" + kNews1251 + ".gif"));
  EXPECT_EQ(ReadFile(dir.path() / (std::wstring(kNewsWide) + L".gif")), "1");
  EXPECT_FALSE(WriteFileNoReplace(dir / "ONE.gif", "x"));
  EXPECT_EQ(errno, EEXIST);
  EXPECT_EQ(ReadFile(dir.path() / "one.gif"), "1");
}

TEST(WindowsFiles, WholeWriteReplacesAFileHeldOpenByASharingReader) {
  TempDir dir;
  WriteFile(dir.path() / "page.htm", "old");
  // How a browser or viewer showing the page holds it, and how this program reads.
  {
    Reader reader(dir.path() / "page.htm", FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    ASSERT_NE(reader.h, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(WriteFileWhole(dir / "page.htm", "new"));
    EXPECT_EQ(ReadFile(dir.path() / "page.htm"), "new");
    EXPECT_EQ(reader.Read(), "old");  // the reader keeps what it opened
  }
  // The old bytes go when the reader lets them go.
  EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"page.htm"}));
  // Our own reads share everything, so they never stand in a writer's way.
  const auto bytes = ReadFileBytes(dir / "page.htm");
  EXPECT_EQ(bytes, "new");
}

TEST(WindowsFiles, WholeWriteAgainstAReaderThatForbidsReplacingLeavesTheFileAsItWas) {
  TempDir dir;
  WriteFile(dir.path() / "page.htm", "old");
  Reader reader(dir.path() / "page.htm", FILE_SHARE_READ);
  ASSERT_NE(reader.h, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(WriteFileWhole(dir / "page.htm", "new"));
  EXPECT_EQ(reader.Read(), "old");
  EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"page.htm"}));  // no temporary left
}

TEST(WindowsFiles, WholeWriteKeepsAttributesAndReadsRefuseDevicesAndFolders) {
  TempDir dir;
  WriteFile(dir.path() / "hidden.htm", "old");
  SetFileAttributesW((dir.path() / "hidden.htm").c_str(), FILE_ATTRIBUTE_HIDDEN);
  ASSERT_TRUE(WriteFileWhole(dir / "hidden.htm", "new"));
  EXPECT_TRUE(GetFileAttributesW((dir.path() / "hidden.htm").c_str()) & FILE_ATTRIBUTE_HIDDEN);
  ReadRefusal refusal = ReadRefusal::None;
  EXPECT_FALSE(ReadFileWithin("NUL", dir.text(), 10, refusal));
  EXPECT_NE(refusal, ReadRefusal::None);
  EXPECT_FALSE(ReadFileWithin(dir.text(), dir.text(), 10, refusal));
  EXPECT_EQ(refusal, ReadRefusal::NotRegular);
  WriteFile(dir.path() / "secret.txt", "s");
  fs::create_directory(dir.path() / "root");
  WriteFile(dir.path() / "root" / "a.gif", "a");
  EXPECT_EQ(ReadFileWithin(dir.text() + "\\ROOT\\a.gif", dir.text() + "\\root", 10, refusal), "a");
  EXPECT_FALSE(
      ReadFileWithin(dir.text() + "\\root\\..\\secret.txt", dir.text() + "\\root", 10, refusal));
  EXPECT_EQ(refusal, ReadRefusal::Outside);
}

TEST(WindowsFiles, StaleTemporariesOfEndedProcessesGo) {
  TempDir dir;
  WriteFile(dir.path() / "page.htm", "p");
  // A process id that no process has (ids are multiples of four), and ours.
  WriteFile(dir.path() / ".page.htm.mytavex-tmp-4000001-0", "dead");
  const std::string own = ".page.htm.mytavex-tmp-" + std::to_string(GetCurrentProcessId()) + "-0";
  WriteFile(dir.path() / own, "alive");
  // An editor's file that only looks like a temporary stays.
  WriteFile(dir.path() / "page.htm.tmp-4000001-0", "mine");
  RemoveStaleTemporaries(dir / "page.htm");
  EXPECT_FALSE(fs::exists(dir.path() / ".page.htm.mytavex-tmp-4000001-0"));
  EXPECT_TRUE(fs::exists(dir.path() / own));
  EXPECT_TRUE(fs::exists(dir.path() / "page.htm.tmp-4000001-0"));
  EXPECT_TRUE(fs::exists(dir.path() / "page.htm"));
}

TEST(WindowsFolderLock, OneHolderAtATimeAndNothingLeftBehind) {
  TempDir dir;
  FolderLock first, second;
  ASSERT_EQ(first.TryLock(dir.text()), FolderLock::Result::Locked);
  EXPECT_EQ(second.TryLock(dir.text() + "\\"), FolderLock::Result::Busy);
  EXPECT_FALSE(second.held());
  // The folder's files stay writable for everyone while it is locked.
  EXPECT_TRUE(WriteFileWhole(dir / "page.htm", "x"));
  first.Unlock();
  EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"page.htm"}));  // the lock file went too
  EXPECT_EQ(second.TryLock(dir.text()), FolderLock::Result::Locked);
  // Another folder is another lock; a missing folder cannot be locked.
  fs::create_directory(dir.path() / kNewsWide);
  FolderLock other;
  EXPECT_EQ(other.TryLock(dir.text() + "\\" + kNews1251), FolderLock::Result::Locked);
  EXPECT_EQ(FolderLock().TryLock(dir.text() + "\\missing"), FolderLock::Result::Failed);
}

TEST(WindowsProcess, RunsAProgramWithQuotedArgumentsAndItsExitCode) {
  ASSERT_TRUE(FindProgram("cmd"));
  const ProgramResult echo = RunProgram({"cmd", "/c", "echo", "a b"}, "");
  EXPECT_TRUE(echo.started);
  EXPECT_EQ(echo.exit_code, 0);
  EXPECT_NE(echo.output.find("a b"), std::string::npos);
  TempDir dir;
  const ProgramResult cd = RunProgram({"cmd", "/c", "cd"}, dir.text());
  EXPECT_NE(cd.output.find(dir.path().filename().string()), std::string::npos);
  EXPECT_EQ(RunProgram({"cmd", "/c", "exit 3"}, "").exit_code, 3);
  EXPECT_FALSE(RunProgram({"no-such-program-here"}, "").started);
  EXPECT_FALSE(FindProgram("no-such-program-here"));
}

}  // namespace
}  // namespace tavex
