#include "app/rubric_commands.h"

#include <algorithm>
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

void ScanSourceFolders(MainWindow& window, std::string_view folder) {
  if (!FolderExists(folder)) return;
  int row = 0;
  for (const DirEntry& entry : ListFolder(folder)) {
    if (!entry.is_folder || LowerCase(entry.name) == "images") continue;
    ++row;
    if (window.RowCount() <= row) window.SetRowCount(row + 1);
    window.SetCell(0, row, entry.name);
    window.SetCell(1, row, entry.name);
  }
  window.SetRowCount(row + 1);
}

void AutoScan(MainWindow& window) {
  std::string folder = window.FieldText(Field::SourceDir);
  if (folder.empty()) return;
  ScanSourceFolders(window, SubstituteIssueNumber(folder, window));
}

void DeriveTargetDir(MainWindow& window) {
  std::string project = window.FieldText(Field::ProjectPath);
  if (project.empty()) return;
  window.SetFieldText(Field::TargetDir, project.substr(0, 1) + ":\\tavex\\tavex#x1\\tavex#x1");
}

}  // namespace tavex
