// The settings record and the settings file "tavex.sav".
//
// The file is Windows-1251 text, one value per line (see SaveSettings). A set
// switch is written "0", a clear one "1". The record has no fixed row limit.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/main_window.h"

namespace tavex {

inline constexpr const char* kSettingsFile = "tavex.sav";

struct TSettings {
  int RowCount = 0;  // grid rows, header included
  int IssueNumber = 0;
  int KeepTablesThreshold = 0;
  int CutTablesThreshold = 0;
  int IssuesPerFolder = 0;
  std::array<bool, kSwitchCount> Flags{};  // flag i: CheckBox(i + 1); 14: MakeEpub
  std::string SourceDir, TargetDir, ProjectPath, IndexPagePath, IssuesRoot;
  // Rows[r - 1] is data row r: (folder name, rubric name).
  std::vector<std::pair<std::string, std::string>> Rows;
  // The lines of the second settings file as last read (app/extra_settings.h).
  std::vector<std::string> ExtraLines;
};

// Puts the five default rubric rows into rows 1 to 5.
void PutDefaultRows(TSettings& settings);
// Copies the window into the record, rows excluded; fails on a non-integer IssueNumber.
void CaptureSettings(const MainWindow& window, TSettings& settings);
// Captures the window and its rows and writes the file whole, then the second
// settings file beside it (app/extra_settings.h); a failed save writes nothing.
void SaveSettings(const MainWindow& window, TSettings& settings,
                  std::string_view path = kSettingsFile);
// Reads the file, and the second settings file beside it, into the record.
// Fails with "Cannot open file %s" when it is missing, "'%s' is not a valid
// integer value" on a bad number and "List index out of bounds (%d)" when one
// of lines 1 to 8 is missing, and refuses a row count above 10,000 (a damaged
// file); each failure names the file and its line (1-based) on a second line.
// A file that fails leaves the record as it was. An empty file changes
// nothing. A flag line shorter than 15 characters reads its missing flags as
// clear.
void LoadSettings(TSettings& settings, std::string_view path = kSettingsFile);
// Copies the record into the window; rows the record lacks come out empty.
void ApplySettings(const TSettings& settings, MainWindow& window);
// The n-th (from 0) space-separated field of a line.
std::string NthField(std::string_view line, int n);
// The activation steps of the main window: headers, default rows, today's
// date, capture, load and apply. Failures are thrown after the steps before
// them took effect.
void ActivateMainWindow(MainWindow& window, TSettings& settings,
                        std::string_view path = kSettingsFile);

}  // namespace tavex
