#include "build/issue_tree.h"

#include <cerrno>
#include <chrono>
#include <string_view>
#include <thread>

#include "app/main_window.h"
#include "build/find_files.h"
#include "build/help_contents.h"
#include "platform/failure.h"
#include "platform/files.h"
#include "platform/text.h"

namespace tavex {
namespace {

// "Исходная директория %s не найдена"
constexpr const char* kNoSource =
    "\xc8\xf1\xf5\xee\xe4\xed\xe0\xff \xe4\xe8\xf0\xe5\xea\xf2\xee\xf0\xe8\xff %s \xed\xe5 "
    "\xed\xe0\xe9\xe4\xe5\xed\xe0";
// "Рубрика в строке %d ведёт за пределы исходной папки: %s"
constexpr const char* kRowOutside =
    "\xd0\xf3\xe1\xf0\xe8\xea\xe0 \xe2 \xf1\xf2\xf0\xee\xea\xe5 %d \xe2\xe5\xe4\xb8\xf2 \xe7\xe0 "
    "\xef\xf0\xe5\xe4\xe5\xeb\xfb \xe8\xf1\xf5\xee\xe4\xed\xee\xe9 \xef\xe0\xef\xea\xe8: %s";
// "Целевая директория %s совпадает с рабочей папкой программы"
constexpr const char* kTargetIsWorkdir =
    "\xd6\xe5\xeb\xe5\xe2\xe0\xff \xe4\xe8\xf0\xe5\xea\xf2\xee\xf0\xe8\xff %s \xf1\xee\xe2\xef\xe0"
    "\xe4\xe0\xe5\xf2 \xf1 \xf0\xe0\xe1\xee\xf7\xe5\xe9 \xef\xe0\xef\xea\xee\xe9 \xef\xf0\xee\xe3"
    "\xf0\xe0\xec\xec\xfb";
// "Папка %s очищается при сборке, а в ней лежит рабочая папка %s"
constexpr const char* kHoldsWorkdir =
    "\xcf\xe0\xef\xea\xe0 %s \xee\xf7\xe8\xf9\xe0\xe5\xf2\xf1\xff \xef\xf0\xe8 \xf1\xe1\xee\xf0"
    "\xea\xe5, \xe0 \xe2 \xed\xe5\xe9 \xeb\xe5\xe6\xe8\xf2 \xf0\xe0\xe1\xee\xf7\xe0\xff \xef\xe0"
    "\xef\xea\xe0 %s";
// "Папка %s очищается при сборке, а в ней лежит файл содержания %s"
constexpr const char* kHoldsContents =
    "\xcf\xe0\xef\xea\xe0 %s \xee\xf7\xe8\xf9\xe0\xe5\xf2\xf1\xff \xef\xf0\xe8 \xf1\xe1\xee\xf0"
    "\xea\xe5, \xe0 \xe2 \xed\xe5\xe9 \xeb\xe5\xe6\xe8\xf2 \xf4\xe0\xe9\xeb \xf1\xee\xe4\xe5\xf0"
    "\xe6\xe0\xed\xe8\xff %s";
// "Папка %s очищается при сборке, а в ней лежит исходная папка %s"
constexpr const char* kHoldsSource =
    "\xcf\xe0\xef\xea\xe0 %s \xee\xf7\xe8\xf9\xe0\xe5\xf2\xf1\xff \xef\xf0\xe8 \xf1\xe1\xee\xf0"
    "\xea\xe5, \xe0 \xe2 \xed\xe5\xe9 \xeb\xe5\xe6\xe8\xf2 \xe8\xf1\xf5\xee\xe4\xed\xe0\xff \xef"
    "\xe0\xef\xea\xe0 %s";
// "Папка %s очищается при сборке и пересекается с папкой рубрики %s"
constexpr const char* kMeetsRubric =
    "\xcf\xe0\xef\xea\xe0 %s \xee\xf7\xe8\xf9\xe0\xe5\xf2\xf1\xff \xef\xf0\xe8 \xf1\xe1\xee\xf0"
    "\xea\xe5 \xe8 \xef\xe5\xf0\xe5\xf1\xe5\xea\xe0\xe5\xf2\xf1\xff \xf1 \xef\xe0\xef\xea\xee\xe9 "
    "\xf0\xf3\xe1\xf0\xe8\xea\xe8 %s";
// "Целевая директория %s лежит в папке рубрики %s"
constexpr const char* kInsideRubric =
    "\xd6\xe5\xeb\xe5\xe2\xe0\xff \xe4\xe8\xf0\xe5\xea\xf2\xee\xf0\xe8\xff %s \xeb\xe5\xe6\xe8\xf2 "
    "\xe2 \xef\xe0\xef\xea\xe5 \xf0\xf3\xe1\xf0\xe8\xea\xe8 %s";
// "Папка %s не похожа на выпуск: в ней нет файла %s, а папки frame, pub или
// images не пусты. Очищать их нельзя"
constexpr const char* kNotAnIssue =
    "\xcf\xe0\xef\xea\xe0 %s \xed\xe5 \xef\xee\xf5\xee\xe6\xe0 \xed\xe0 \xe2\xfb\xef\xf3\xf1\xea: "
    "\xe2 \xed\xe5\xe9 \xed\xe5\xf2 \xf4\xe0\xe9\xeb\xe0 %s, \xe0 \xef\xe0\xef\xea\xe8 frame, pub "
    "\xe8\xeb\xe8 images \xed\xe5 \xef\xf3\xf1\xf2\xfb. \xce\xf7\xe8\xf9\xe0\xf2\xfc \xe8\xf5 \xed"
    "\xe5\xeb\xfc\xe7\xff";
// "Выпуск %s уже собирает другой запуск программы"
constexpr const char* kBusy =
    "\xc2\xfb\xef\xf3\xf1\xea %s \xf3\xe6\xe5 \xf1\xee\xe1\xe8\xf0\xe0\xe5\xf2 \xe4\xf0\xf3\xe3\xee"
    "\xe9 \xe7\xe0\xef\xf3\xf1\xea \xef\xf0\xee\xe3\xf0\xe0\xec\xec\xfb";

// What the mark file says to whoever finds it.
constexpr const char* kMarkText =
    "This folder is an issue built by MyTavex. A new build of the issue empties its frame, pub "
    "and images folders; a folder without this file is emptied only when they hold no files.\r\n";

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

bool Overlap(std::string_view a, std::string_view b) {
  return IsWithinFolder(a, b) || IsWithinFolder(b, a);
}

// A cell that names a folder below SourceDir by itself: relative, no "..".
bool StaysBelow(std::string_view cell) {
  if (cell.empty()) return true;
  if (IsSeparator(cell.front()) || cell.find(':') != std::string_view::npos) return false;
  size_t start = 0;
  while (start <= cell.size()) {
    size_t end = start;
    while (end < cell.size() && !IsSeparator(cell[end])) ++end;
    if (cell.substr(start, end - start) == "..") return false;
    start = end + 1;
  }
  return true;
}

std::string ContentsFile(const MainWindow& window) {
  return window.FieldText(Field::IssuesRoot) + "\\" + kContentsFile;
}

// Whether the folder holds no file and no link at any depth.
bool HoldsNoFiles(const std::string& folder, MainWindow& window) {
  bool empty = true;
  WalkEntries(
      folder, [&] { window.ProcessMessages(); },
      [&](const std::string&, const DirEntry&) { empty = false; }, {});
  return empty;
}

bool MayEmpty(const std::string& target, MainWindow& window) {
  if (FileExists(target + "\\" + kIssueMarkFile)) return true;
  if (FileExists(target + "\\index.htm") && FileExists(target + "\\frame\\left.htm")) return true;
  for (const char* sub : kEmptiedFolders)
    if (!HoldsNoFiles(target + "\\" + sub, window)) return false;
  return true;
}

// The entry of target that a path "target\sub" reaches: the exact name first,
// then a spelling that differs only in case.
const DirEntry* EntryFor(const std::vector<DirEntry>& entries, std::string_view sub) {
  const DirEntry* other_case = nullptr;
  for (const DirEntry& entry : entries) {
    if (entry.name == sub) return &entry;
    if (!other_case && EqualsIgnoreCase(entry.name, sub)) other_case = &entry;
  }
  return other_case;
}

}  // namespace

void RefuseUnsafeFolders(const MainWindow& window) {
  const std::string source = window.FieldText(Field::SourceDir);
  const std::string target = window.FieldText(Field::TargetDir);
  if (!FolderExists(source)) throw Failure(FillIn(kNoSource, {source}));

  std::vector<std::string> rubrics;
  for (int row = 1; row < window.RowCount(); ++row) {
    const std::string cell = window.Cell(0, row);
    if (cell.empty()) continue;
    if (!StaysBelow(cell)) throw Failure(FillIn(kRowOutside, {std::to_string(row), cell}));
    rubrics.push_back(source + "\\" + cell);
  }

  const std::string workdir = CurrentFolder();
  const std::string contents = ContentsFile(window);
  if (RealPath(target) == RealPath(workdir)) throw Failure(FillIn(kTargetIsWorkdir, {target}));
  for (const char* sub : kEmptiedFolders) {
    const std::string emptied = target + "\\" + sub;
    if (IsWithinFolder(workdir, emptied)) throw Failure(FillIn(kHoldsWorkdir, {emptied, workdir}));
    if (IsWithinFolder(contents, emptied))
      throw Failure(FillIn(kHoldsContents, {emptied, contents}));
    if (IsWithinFolder(source, emptied)) throw Failure(FillIn(kHoldsSource, {emptied, source}));
    for (const std::string& rubric : rubrics)
      if (Overlap(emptied, rubric)) throw Failure(FillIn(kMeetsRubric, {emptied, rubric}));
  }
  for (const std::string& rubric : rubrics)
    if (IsWithinFolder(target, rubric)) throw Failure(FillIn(kInsideRubric, {target, rubric}));
}

void RunLocks::Take(MainWindow& window) {
  const std::string target = window.FieldText(Field::TargetDir);
  if (target_.TryLock(target) == FolderLock::Result::Busy) throw Failure(FillIn(kBusy, {target}));
  // A folder that cannot be locked (it could not be made) fails at its first write.
  const std::string contents = window.FieldText(Field::IssuesRoot);
  if (!FolderExists(contents) || RealPath(contents) == RealPath(target)) return;
  constexpr auto kPause = std::chrono::milliseconds(20);
  while (contents_.TryLock(contents) == FolderLock::Result::Busy) {
    window.ProcessMessages();
    std::this_thread::sleep_for(kPause);
  }
}

void PrepareIssueFolders(MainWindow& window) {
  const std::string target = window.FieldText(Field::TargetDir);
  if (!MayEmpty(target, window)) throw Failure(FillIn(kNotAnIssue, {target, kIssueMarkFile}));
  const std::string mark = target + "\\" + kIssueMarkFile;
  if (!FileExists(mark) && !WriteFileWhole(mark, kMarkText)) throw CannotCreateFile(mark);

  const std::vector<DirEntry> entries = ListFolder(target);
  for (const char* sub : kEmptiedFolders) {
    const std::string folder = target + "\\" + sub;
    const DirEntry* entry = EntryFor(entries, sub);
    // A link standing where the folder belongs goes as a link; emptying it
    // would empty whatever it leads to.
    if (entry && entry->is_link) {
      RemoveFile(target + "\\" + entry->name);
      entry = nullptr;
    }
    if (entry && entry->is_folder && !entry->is_link) {
      ClearFolder(folder, window);
    } else if (!CreateFolder(folder) && !FolderExists(folder)) {
      throw CannotCreateFile(folder);
    }
  }
  // Pages refer to their pictures as "..\Images\N.gif" while the folder is
  // "images"; browsers and the help compiler on a system that tells letter
  // case apart would miss every picture without this second spelling.
  LinkCaseVariant(target + "\\images", target + "\\Images");
}

}  // namespace tavex
