#include "app/settings.h"

#include "app/extra_settings.h"
#include "app/memory_window.h"
#include "clean/line_list.h"
#include "platform/failure.h"
#include "platform/text.h"

namespace tavex {
namespace {

// Texts in the record hold at most this many characters, as the file's
// readers of older versions expect.
constexpr size_t kMaxText = 255;

// The five paths in file order (lines 4 to 8), with the fields they belong to.
struct PathSlot {
  std::string TSettings::*member;
  Field field;
};
constexpr PathSlot kPaths[] = {
    {&TSettings::SourceDir, Field::SourceDir},
    {&TSettings::TargetDir, Field::TargetDir},
    {&TSettings::ProjectPath, Field::ProjectPath},
    {&TSettings::IndexPagePath, Field::IndexPagePath},
    {&TSettings::IssuesRoot, Field::IssuesRoot},
};

constexpr int kFirstRowLine = 8;  // 0-based index of the folder line of data row 1

// The largest row count a file may give, header row included. A grid of this
// many rubrics is far beyond any issue; a larger count is a damaged file, and
// taking it would make the window allocate that many rows.
constexpr int kMaxRowCount = 10000;

std::string Cut(std::string_view text) {
  return std::string(text.substr(0, kMaxText));
}

// The record's row r (from 1), growing the record when it is shorter.
std::pair<std::string, std::string>& RowAt(TSettings& settings, int r) {
  if (static_cast<int>(settings.Rows.size()) < r) settings.Rows.resize(r);
  return settings.Rows[r - 1];
}

// Line i (0-based) of the file at path, failing as a list read past its end
// would, the missing line named.
const std::string& LineAt(const LineList& lines, int i, std::string_view path) {
  if (i >= LineCount(lines)) throw ListIndexOutOfBounds(i).At(path, i + 1);
  return lines[i];
}

// A number of line i (0-based) of the file at path.
int IntAt(std::string_view text, int i, std::string_view path) {
  try {
    return ParseInt(text);
  } catch (const Failure& failure) {
    throw failure.At(path, i + 1);
  }
}

}  // namespace

void PutDefaultRows(TSettings& settings) {
  static const std::pair<const char*, const char*> kDefaults[] = {
      {"Internet", "\xc8\xed\xf2\xe5\xf0\xed\xe5\xf2"},            // Интернет
      {"System", "\xd1\xe8\xf1\xf2\xe5\xec\xe0"},                  // Система
      {"Software", "Software"},                                    //
      {"hardware", "Hardware \xe8 \xf2\xe5\xf5\xed\xe8\xea\xe0"},  // Hardware и техника
      {"\xcf\xf0\xee\xf7\xe5\xe5", "\xd0\xe0\xe7\xed\xee\xe5"},    // Прочее → Разное
  };
  int r = 1;
  for (const auto& [folder, rubric] : kDefaults) RowAt(settings, r++) = {folder, rubric};
}

void CaptureSettings(const MainWindow& window, TSettings& settings) {
  settings.RowCount = window.RowCount();
  settings.IssueNumber = ParseInt(window.FieldText(Field::IssueNumber));
  for (int i = 0; i < kSwitchCount; ++i)
    settings.Flags[i] = window.IsChecked(static_cast<Switch>(i));
  for (const auto& slot : kPaths) settings.*slot.member = Cut(window.FieldText(slot.field));
}

void SaveSettings(const MainWindow& window, TSettings& settings, std::string_view path) {
  CaptureSettings(window, settings);
  for (int r = 1; r < settings.RowCount; ++r)
    RowAt(settings, r) = {Cut(window.Cell(0, r)), Cut(window.Cell(1, r))};

  LineList lines;
  // The three thresholds go out as the fields hold them, unchecked: a bad one
  // is caught by the next load, which names it.
  lines.push_back(
      std::to_string(settings.RowCount) + " " + window.FieldText(Field::KeepTablesThreshold) + " " +
      window.FieldText(Field::CutTablesThreshold) + " " + window.FieldText(Field::IssuesPerFolder));
  lines.push_back(std::to_string(settings.IssueNumber));
  std::string flags;
  for (int i = 0; i < kSavedSwitchCount; ++i) flags += settings.Flags[i] ? '0' : '1';
  lines.push_back(flags);
  for (const auto& slot : kPaths) lines.push_back(settings.*slot.member);
  for (int r = 1; r < settings.RowCount; ++r) {
    const auto& row = RowAt(settings, r);
    lines.push_back(row.first);
    lines.push_back(row.second);
  }
  SaveLines(path, lines);
  SaveExtraSettings(settings, ExtraSettingsPathBeside(path));
}

void LoadSettings(TSettings& settings, std::string_view path) {
  const LineList lines = LoadLines(path);
  if (lines.empty()) return;

  // Read into a copy and take it only when the whole file was read, so a bad
  // number leaves the record as it was and a later "load settings" click
  // cannot apply a half-read file.
  TSettings read = settings;
  const std::string& first = lines[0];
  read.RowCount = IntAt(NthField(first, 0), 0, path);
  // Checked before anything is sized from it. A count above the rows the file
  // holds is valid: the record's own rows fill the rest.
  if (read.RowCount > kMaxRowCount)
    throw Failure("Row count " + std::to_string(read.RowCount) + " is above " +
                  std::to_string(kMaxRowCount))
        .At(path, 1);
  read.KeepTablesThreshold = IntAt(NthField(first, 1), 0, path);
  read.CutTablesThreshold = IntAt(NthField(first, 2), 0, path);
  read.IssuesPerFolder = IntAt(NthField(first, 3), 0, path);
  read.IssueNumber = IntAt(LineAt(lines, 1, path), 1, path);
  // A flag line from a version with fewer switches is shorter: the flags it
  // lacks read as clear, like any character other than "0".
  const std::string& flags = LineAt(lines, 2, path);
  for (int i = 0; i < kSavedSwitchCount; ++i)
    read.Flags[i] = i < static_cast<int>(flags.size()) && flags[i] == '0';
  int line = 3;
  for (const auto& slot : kPaths) read.*slot.member = Cut(LineAt(lines, line++, path));
  // A folder line without its rubric line after it is not a row.
  for (int r = 1; kFirstRowLine + 2 * (r - 1) + 1 < LineCount(lines); ++r) {
    const int i = kFirstRowLine + 2 * (r - 1);
    RowAt(read, r) = {Cut(lines[i]), Cut(lines[i + 1])};
  }
  LoadExtraSettings(read, ExtraSettingsPathBeside(path));
  settings = std::move(read);
}

void ApplySettings(const TSettings& settings, MainWindow& window) {
  // The grid keeps at least its header row, whatever a damaged file says.
  const int rows = settings.RowCount < 1 ? 1 : settings.RowCount;
  window.SetRowCount(rows);
  window.SetFieldText(Field::IssueNumber, std::to_string(settings.IssueNumber));
  for (int i = 0; i < kSwitchCount; ++i)
    window.SetChecked(static_cast<Switch>(i), settings.Flags[i]);
  window.SetFieldText(Field::KeepTablesThreshold, std::to_string(settings.KeepTablesThreshold));
  window.SetFieldText(Field::CutTablesThreshold, std::to_string(settings.CutTablesThreshold));
  window.SetFieldText(Field::IssuesPerFolder, std::to_string(settings.IssuesPerFolder));
  for (const auto& slot : kPaths) window.SetFieldText(slot.field, settings.*slot.member);
  for (int r = 1; r < rows; ++r) {
    const bool known = r <= static_cast<int>(settings.Rows.size());
    window.SetCell(0, r, known ? settings.Rows[r - 1].first : "");
    window.SetCell(1, r, known ? settings.Rows[r - 1].second : "");
  }
}

std::string NthField(std::string_view line, int n) {
  if (line.find(' ') == std::string_view::npos) return std::string(line);
  for (int i = 0; i < n; ++i) {
    size_t space = line.find(' ');
    line = space == std::string_view::npos ? std::string_view() : line.substr(space + 1);
  }
  return std::string(line.substr(0, line.find(' ')));
}

void ActivateMainWindow(MainWindow& window, TSettings& settings, std::string_view path) {
  window.SetCell(0, 0, "\xcd\xe0\xe7\xe2\xe0\xed\xe8\xe5 \xef\xe0\xef\xea\xe8");  // Название папки
  window.SetCell(
      1, 0,
      "\xcd\xe0\xe7\xe2\xe0\xed\xe8\xe5 \xf0\xf3\xe1\xf0\xe8\xea\xe8");  // Название рубрики
  PutDefaultRows(settings);
  window.SetIssueDate(Today());
  CaptureSettings(window, settings);
  LoadSettings(settings, path);
  ApplySettings(settings, window);
}

}  // namespace tavex
