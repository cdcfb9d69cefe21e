#include "build/issue_tree.h"

#include <chrono>
#include <string_view>
#include <thread>

#include "app/main_window.h"
#include "build/find_files.h"
#include "build/help_contents.h"
#include "platform/failure.h"
#include "platform/files.h"
#include "platform/shown_path.h"
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

// "Целевая директория %s — корень файловой системы: в нём выпуск не собирается"
constexpr const char* kTargetIsRoot =
    "\xd6\xe5\xeb\xe5\xe2\xe0\xff \xe4\xe8\xf0\xe5\xea\xf2\xee\xf0\xe8\xff %s \x97 \xea"
    "\xee\xf0\xe5\xed\xfc \xf4\xe0\xe9\xeb\xee\xe2\xee\xe9 \xf1\xe8\xf1\xf2\xe5\xec\xfb: "
    "\xe2 \xed\xb8\xec \xe2\xfb\xef\xf3\xf1\xea \xed\xe5 \xf1\xee\xe1\xe8\xf0\xe0\xe5\xf2"
    "\xf1\xff";
// "Целевая директория %s — домашняя папка: в ней выпуск не собирается"
constexpr const char* kTargetIsHome =
    "\xd6\xe5\xeb\xe5\xe2\xe0\xff \xe4\xe8\xf0\xe5\xea\xf2\xee\xf0\xe8\xff %s \x97 \xe4"
    "\xee\xec\xe0\xf8\xed\xff\xff \xef\xe0\xef\xea\xe0: \xe2 \xed\xe5\xe9 \xe2\xfb\xef"
    "\xf3\xf1\xea \xed\xe5 \xf1\xee\xe1\xe8\xf0\xe0\xe5\xf2\xf1\xff";
// "Папка %s не похожа на выпуск: в ней нет файла %s, а файл %s сборка заменила
// бы. Собирать выпуск в ней нельзя"
constexpr const char* kWouldReplace =
    "\xcf\xe0\xef\xea\xe0 %s \xed\xe5 \xef\xee\xf5\xee\xe6\xe0 \xed\xe0 \xe2\xfb\xef\xf3"
    "\xf1\xea: \xe2 \xed\xe5\xe9 \xed\xe5\xf2 \xf4\xe0\xe9\xeb\xe0 %s, \xe0 \xf4\xe0\xe9"
    "\xeb %s \xf1\xe1\xee\xf0\xea\xe0 \xe7\xe0\xec\xe5\xed\xe8\xeb\xe0 \xe1\xfb. \xd1\xee"
    "\xe1\xe8\xf0\xe0\xf2\xfc \xe2\xfb\xef\xf3\xf1\xea \xe2 \xed\xe5\xe9 \xed\xe5\xeb\xfc"
    "\xe7\xff";
// "Папку выпуска не удалось очистить: %s не удаляется"
constexpr const char* kCannotEmpty =
    "\xcf\xe0\xef\xea\xf3 \xe2\xfb\xef\xf3\xf1\xea\xe0 \xed\xe5 \xf3\xe4\xe0\xeb\xee\xf1"
    "\xfc \xee\xf7\xe8\xf1\xf2\xe8\xf2\xfc: %s \xed\xe5 \xf3\xe4\xe0\xeb\xff\xe5\xf2\xf1"
    "\xff";
// "Папку выпуска не удалось очистить: %s не файл и не ссылка, такого сборка не
// делает"
constexpr const char* kOddEntry =
    "\xcf\xe0\xef\xea\xf3 \xe2\xfb\xef\xf3\xf1\xea\xe0 \xed\xe5 \xf3\xe4\xe0\xeb\xee\xf1"
    "\xfc \xee\xf7\xe8\xf1\xf2\xe8\xf2\xfc: %s \xed\xe5 \xf4\xe0\xe9\xeb \xe8 \xed\xe5 "
    "\xf1\xf1\xfb\xeb\xea\xe0, \xf2\xe0\xea\xee\xe3\xee \xf1\xe1\xee\xf0\xea\xe0 \xed\xe5"
    " \xe4\xe5\xeb\xe0\xe5\xf2";
// "Целевая директория %s изменилась, пока сборка её создавала"
constexpr const char* kTargetMoved =
    "\xd6\xe5\xeb\xe5\xe2\xe0\xff \xe4\xe8\xf0\xe5\xea\xf2\xee\xf0\xe8\xff %s \xe8\xe7"
    "\xec\xe5\xed\xe8\xeb\xe0\xf1\xfc, \xef\xee\xea\xe0 \xf1\xe1\xee\xf0\xea\xe0 \xe5\xb8"
    " \xf1\xee\xe7\xe4\xe0\xe2\xe0\xeb\xe0";

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
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

// A real location with one more part, in RealPath's form.
std::string Below(std::string_view real, std::string_view part) {
  std::string path(real);
  if (path.empty() || path.back() != kRealPathSeparator) path += kRealPathSeparator;
  return path.append(part);
}

bool Overlap(std::string_view a, std::string_view b) {
  return RealPathWithin(a, b) || RealPathWithin(b, a);
}

// Whether the folder holds no file and no link at any depth.
bool HoldsNoFiles(const std::string& folder, MainWindow& window) {
  bool empty = true;
  WalkEntries(
      folder, [&] { window.ProcessMessages(); },
      [&](const std::string&, const DirEntry&) { empty = false; }, {});
  return empty;
}

// The file that makes TargetDir someone else's folder, with the message that
// names it; nothing for a tree the build may empty.
std::optional<Failure> ForeignTree(const std::string& target, MainWindow& window) {
  if (FileExists(target + "\\" + kIssueMarkFile)) return std::nullopt;
  const std::string index = target + "\\index.htm", left = target + "\\frame\\left.htm";
  const bool has_index = FileExists(index), has_left = FileExists(left);
  if (has_index && has_left) return std::nullopt;  // built before the mark existed
  if (has_index || has_left)
    return Failure(FillIn(
        kWouldReplace, {ShownPath(target), kIssueMarkFile, ShownPath(has_index ? index : left)}));
  for (const char* sub : kEmptiedFolders)
    if (!HoldsNoFiles(target + "\\" + sub, window))
      return Failure(FillIn(kNotAnIssue, {target, kIssueMarkFile}));
  return std::nullopt;
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

// The failure for what a folder's emptying could not empty; nothing when it
// went.
void FailOn(const std::optional<TEmptyingRefusal>& refusal) {
  if (!refusal) return;
  if (refusal->error == 0) throw Failure(FillIn(kOddEntry, {ShownPath(refusal->path)}));
  throw Failure(FillIn(kCannotEmpty, {ShownPath(refusal->path)}))
      .At(refusal->path, 0, refusal->error);
}

}  // namespace

void TRunFolders::Resolve(const MainWindow& window) {
  const std::string source = window.FieldText(Field::SourceDir);
  const std::string target = window.FieldText(Field::TargetDir);
  const std::string issues_root = window.FieldText(Field::IssuesRoot);

  TResolvedFolder work = ResolveFolder(".", false);
  TResolvedFolder source_folder = ResolveFolder(source, false);
  if (!source_folder.folder.held()) throw Failure(FillIn(kNoSource, {source}));

  struct Rubric {
    std::string text, real;
  };
  std::vector<Rubric> rubrics;
  for (int row = 1; row < window.RowCount(); ++row) {
    const std::string cell = window.Cell(0, row);
    if (cell.empty()) continue;
    if (!StaysBelow(cell)) throw Failure(FillIn(kRowOutside, {std::to_string(row), cell}));
    const std::string folder = source + "\\" + cell;
    rubrics.push_back({folder, RealPath(folder)});
  }

  const TResolvedFolder target_folder = ResolveFolder(target, false);
  target_real_ = target_folder.real;
  if (target_real_.empty()) throw CannotCreateFile(target, target_folder.error);
  if (IsFileSystemRoot(target_real_)) throw Failure(FillIn(kTargetIsRoot, {ShownPath(target)}));
  if (target_real_ == HomeFolder()) throw Failure(FillIn(kTargetIsHome, {ShownPath(target)}));
  if (target_real_ == work.real) throw Failure(FillIn(kTargetIsWorkdir, {target}));

  // The contents file where it really is: a link shared by two projects
  // leads both to one file, and that file is what must stay out of the tree.
  const std::string contents = issues_root + "\\" + kContentsFile;
  TResolvedFolder contents_folder = ResolveFolder(issues_root, false);
  contents_file_ = ResolveFile(contents);
  const std::string contents_real = contents_file_
                                        ? Below(contents_file_->folder.real(), contents_file_->name)
                                        : Below(contents_folder.real, kContentsFile);

  for (const char* sub : kEmptiedFolders) {
    const std::string emptied = target + "\\" + sub;
    const std::string emptied_real = RealPath(emptied);
    if (RealPathWithin(work.real, emptied_real))
      throw Failure(FillIn(kHoldsWorkdir, {emptied, CurrentFolder()}));
    if (RealPathWithin(contents_real, emptied_real))
      throw Failure(FillIn(kHoldsContents, {emptied, contents}));
    if (RealPathWithin(source_folder.real, emptied_real))
      throw Failure(FillIn(kHoldsSource, {emptied, source}));
    for (const Rubric& rubric : rubrics)
      if (Overlap(emptied_real, rubric.real))
        throw Failure(FillIn(kMeetsRubric, {emptied, rubric.text}));
  }
  for (const Rubric& rubric : rubrics)
    if (RealPathWithin(target_real_, rubric.real))
      throw Failure(FillIn(kInsideRubric, {target, rubric.text}));

  work_ = std::move(work.folder);
  source_ = std::move(source_folder.folder);
  contents_folder_ = std::move(contents_folder.folder);
  // Relative texts are the working folder's, as is the text of its own path.
  bindings_.emplace_back("", &work_, LinkRule::Followed);
  bindings_.emplace_back(CurrentFolder(), &work_, LinkRule::Followed);
  bindings_.emplace_back(source, &source_, LinkRule::Followed);
}

void TRunFolders::Take(MainWindow& window) {
  const std::string target = window.FieldText(Field::TargetDir);
  TResolvedFolder made = ResolveFolder(target, true);
  if (!made.folder.held()) throw CannotCreateFile(target, made.error);
  if (made.folder.real() != target_real_) throw Failure(FillIn(kTargetMoved, {ShownPath(target)}));
  target_ = std::move(made.folder);
  bindings_.emplace_back(target, &target_, LinkRule::Never);
  if (target_lock_.TryLock(target) == FolderLock::Result::Busy)
    throw Failure(FillIn(kBusy, {target}));

  const std::string issues_root = window.FieldText(Field::IssuesRoot);
  bindings_.emplace_back(issues_root, &contents_folder_, LinkRule::Followed);
  if (contents_file_)
    bindings_.push_back(
        FolderBinding::BindFile(issues_root + "\\" + kContentsFile, *contents_file_));
  // A folder that cannot be locked (it does not exist) fails at its first write.
  const HeldFolder& contents = contents_file_ ? contents_file_->folder : contents_folder_;
  if (!contents.held() || contents.real() == target_.real()) return;
  constexpr auto kPause = std::chrono::milliseconds(20);
  while (contents_lock_.TryLock(contents) == FolderLock::Result::Busy) {
    window.ProcessMessages();
    std::this_thread::sleep_for(kPause);
  }
}

void TRunFolders::PrepareIssueFolders(MainWindow& window) {
  const std::string target = window.FieldText(Field::TargetDir);
  if (auto foreign = ForeignTree(target, window)) throw *foreign;
  const std::vector<DirEntry> entries = ListFolder(target);
  // All three are looked at before the first is emptied: an entry that would
  // stop the run stops it with the previous issue whole.
  for (const char* sub : kEmptiedFolders)
    if (const DirEntry* entry = EntryFor(entries, sub); entry && !entry->is_link)
      FailOn(RefuseToEmpty(target + "\\" + entry->name));
  const std::string mark = target + "\\" + kIssueMarkFile;
  if (!FileExists(mark) && !WriteFileWhole(mark, kMarkText)) throw CannotCreateFile(mark);

  for (size_t i = 0; i < 3; ++i) {
    const char* sub = kEmptiedFolders[i];
    const std::string folder = target + "\\" + sub;
    const DirEntry* entry = EntryFor(entries, sub);
    // A link standing where the folder belongs goes as a link; emptying it
    // would empty whatever it leads to.
    if (entry && entry->is_link) {
      if (!RemoveFile(target + "\\" + entry->name)) throw CannotCreateFile(folder);
      entry = nullptr;
    }
    if (entry) {
      FailOn(EmptyFolder(target + "\\" + entry->name, [&] { window.ProcessMessages(); }));
    } else if (!CreateFolder(folder)) {
      throw CannotCreateFile(folder);
    }
    emptied_[i] = HoldFolder(entry ? target + "\\" + entry->name : folder);
    if (!emptied_[i].held()) throw CannotCreateFile(folder);
    bindings_.emplace_back(folder, &emptied_[i], LinkRule::Never);
  }
  // Pages refer to their pictures as "..\Images\N.gif" while the folder is
  // "images"; browsers and the help compiler on a system that tells letter
  // case apart would miss every picture without this second spelling.
  LinkCaseVariant(target + "\\images", target + "\\Images");
}

}  // namespace tavex
