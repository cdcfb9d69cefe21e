#include "app/rubric_commands.h"

#include <algorithm>
#include <map>
#include <string>

#include "clean/line_helpers.h"
#include "platform/files.h"
#include "platform/text.h"

namespace tavex {
namespace {

// The current row as a data row: 1 .. RowCount() - 1, or 1 when the grid has
// no data row at all.
int DataRow(const MainWindow& window, int current_row) {
  return std::clamp(current_row, 1, std::max(1, window.RowCount() - 1));
}

void CopyRow(MainWindow& window, int from, int to) {
  window.SetCell(0, to, window.Cell(0, from));
  window.SetCell(1, to, window.Cell(1, from));
}

}  // namespace

void InsertRubricRow(MainWindow& window, int current_row) {
  int row = DataRow(window, current_row);
  int old_count = std::max(window.RowCount(), row);
  window.SetRowCount(old_count + 1);
  // From the bottom up, so no row is overwritten before it has moved.
  for (int r = old_count; r > row; --r) CopyRow(window, r - 1, r);
  window.SetCell(0, row, "");
  window.SetCell(1, row, "");
}

void DeleteRubricRow(MainWindow& window, int current_row) {
  int count = window.RowCount();
  if (count < 3) return;
  int row = DataRow(window, current_row);
  for (int r = row; r + 1 < count; ++r) CopyRow(window, r + 1, r);
  window.SetRowCount(count - 1);
}

void SwapRubricRows(MainWindow& window, int current_row) {
  int count = window.RowCount();
  if (count <= 2) return;
  int a = DataRow(window, current_row);
  if (a == count - 1) --a;
  for (int column = 0; column < 2; ++column) {
    std::string upper = window.Cell(column, a);
    window.SetCell(column, a, window.Cell(column, a + 1));
    window.SetCell(column, a + 1, upper);
  }
}

namespace {

bool IsPicture(std::string_view extension) {
  for (const char* picture : {".gif", ".jpg", ".jpeg", ".png", ".webp", ".bmp", ".svg", ".ico"})
    if (EqualsIgnoreCase(extension, picture)) return true;
  return false;
}

// A page as the build takes it: ".htm" in any letter case, ".html" in lower
// case, and the page archives.
bool IsArticlePage(std::string_view extension) {
  return EqualsIgnoreCase(extension, ".htm") || extension == ".html" ||
         EqualsIgnoreCase(extension, ".mht") || EqualsIgnoreCase(extension, ".mhtml");
}

// A folder of pictures (the pictures saved beside the articles): pictures
// and no article page, at any depth. One walk.
bool HoldsOnlyPictures(const std::string& folder, MainWindow& window) {
  bool pictures = false, pages = false;
  WalkFiles(
      folder, [&] { window.ProcessMessages(); },
      [&](const std::string&, std::string_view name) {
        const std::string_view extension = ExtensionOf(name);
        pages = pages || IsArticlePage(extension);
        pictures = pictures || IsPicture(extension);
      });
  return pictures && !pages;
}

}  // namespace

bool RubricRowsFilled(const MainWindow& window) {
  for (int row = 1; row < window.RowCount(); ++row)
    if (!window.Cell(0, row).empty() || !window.Cell(1, row).empty()) return true;
  return false;
}

void ScanSourceFolders(MainWindow& window, std::string_view folder) {
  if (!FolderExists(folder)) return;
  // The titles typed for folders the grid names already.
  std::map<std::string, std::string> titles;
  for (int row = 1; row < window.RowCount(); ++row)
    if (!window.Cell(0, row).empty() && !window.Cell(1, row).empty())
      titles.emplace(window.Cell(0, row), window.Cell(1, row));
  int row = 0;
  for (const DirEntry& entry : ListFolder(folder)) {
    if (!entry.is_folder || LowerCase(entry.name) == "images") continue;
    if (HoldsOnlyPictures(std::string(folder) + "\\" + entry.name, window)) continue;
    ++row;
    if (window.RowCount() <= row) window.SetRowCount(row + 1);
    const auto known = titles.find(entry.name);
    window.SetCell(0, row, entry.name);
    window.SetCell(1, row, known != titles.end() ? known->second : entry.name);
  }
  window.SetRowCount(row + 1);
}

void AutoScan(MainWindow& window) {
  std::string folder = window.FieldText(Field::SourceDir);
  if (folder.empty()) return;
  ScanSourceFolders(window, SubstituteIssueNumber(folder, window));
}

std::string DerivedTargetDir(const MainWindow& window) {
  const std::string project = window.FieldText(Field::ProjectPath);
  if (project.empty()) return {};
  if (project.size() >= 2 && project[1] == ':')  // a drive letter: the magazine's tree on it
    return project.substr(0, 1) + ":\\tavex\\tavex#x1\\tavex#x1";
  const char separator =
      project.find('\\') == std::string::npos && project.find('/') != std::string::npos ? '/'
                                                                                        : '\\';
  const size_t slash = project.find_last_of("\\/");
  const std::string folder = slash == std::string::npos ? "" : project.substr(0, slash + 1);
  return folder + "tavex#x1" + separator + "tavex#x1";
}

void DeriveTargetDir(MainWindow& window) {
  const std::string target = DerivedTargetDir(window);
  if (!target.empty()) window.SetFieldText(Field::TargetDir, target);
}

}  // namespace tavex
