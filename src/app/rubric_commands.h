// The commands of the main tab that edit the rubric grid, fill it from the
// source folder, and derive the target folder from the project path.
//
// Rows are numbered as the grid numbers them: row 0 is the header, data rows
// are 1 .. RowCount() - 1. The "current row" is the row of the grid's focused
// cell; a front end passes it in, and a value outside the data rows (a grid
// without data rows, or no focused cell) is taken as the nearest data row.
// None of the commands checks a row limit: the settings record has none.
#pragma once

#include <string>
#include <string_view>

#include "app/main_window.h"

namespace tavex {

// SpeedButton3 ("Добавить строку"): rows from the current one down move one
// row down, the current row is emptied, and the grid grows by one row.
void InsertRubricRow(MainWindow& window, int current_row);

// SpeedButton4 ("Удалить строку"): the rows below the current one move up and
// the grid shrinks by one row. The last data row is never deleted, so the
// grid keeps a row the editor can type into.
void DeleteRubricRow(MainWindow& window, int current_row);

// SpeedButton6 ("Поменять местами строки"): the current row and the one below
// it exchange both cells; on the last row, it and the row above exchange.
// Needs at least two data rows.
void SwapRubricRows(MainWindow& window, int current_row);

// Fills the grid with one row per sub-folder of the folder (in name order),
// the folder's name in its first cell and in its second the title the grid
// gave that folder before (the editor typed it), else the folder's name again.
// Not rubrics: "images" in any letter case, and a folder that holds pictures
// but no article page (the pictures saved beside the articles). A folder that
// does not exist leaves the grid unchanged. The front end asks before it
// replaces filled rows (RubricRowsFilled).
void ScanSourceFolders(MainWindow& window, std::string_view folder);

// Whether any data row holds a folder or a title.
bool RubricRowsFilled(const MainWindow& window);

// SpeedButton5 ("Автоскан"): scans SourceDir with the issue number put in for
// its "#x1" tokens; the field itself keeps its text. An empty SourceDir does
// nothing: scanning the working folder instead would fill the table with the
// program's own folders (HtmClear and the like).
void AutoScan(MainWindow& window);

// SpeedButton7: the tree in which each issue gets its own folder once the
// issue number is put in at Start. A ProjectPath with a drive letter gives
// that drive + ":\tavex\tavex#x1\tavex#x1", the magazine's place on it; any
// other (a POSIX path, a relative one) gives the project's own folder +
// "tavex#x1\tavex#x1", with the separator the path uses, since there is no
// drive to take. Empty for an empty ProjectPath.
std::string DerivedTargetDir(const MainWindow& window);
// Sets TargetDir to DerivedTargetDir; an empty ProjectPath changes nothing.
// The front end asks before it replaces a TargetDir typed before.
void DeriveTargetDir(MainWindow& window);

}  // namespace tavex
