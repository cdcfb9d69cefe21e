#include "app/settings.h"

#include <gtest/gtest.h>

#include "app/memory_window.h"
#include "clean/line_list.h"
#include "platform/failure.h"
#include "platform/text.h"
#include "support/temp_dir.h"

namespace tavex {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

std::string FailureText(const std::function<void()>& action) {
  try {
    action();
  } catch (const Failure& failure) {
    return failure.what();
  }
  return "(no failure)";
}

TEST(SaveSettings, FreshWindowWritesTheEighteenLines) {
  TempDir dir;
  MemoryWindow window;
  TSettings settings;
  SaveSettings(window, settings, dir / "tavex.sav");
  EXPECT_EQ(ReadFile(dir.path() / "tavex.sav"),
            "6 2000 30 10\r\n1\r\n000100000000001\r\n"
            "e:\\temp\r\ne:\\tempout\r\ne:\\tavex\\tavex.hhp\r\nEdit8\r\nE:\\tavex\r\n"
            "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n");
}

TEST(SaveSettings, RoundTripKeepsEveryValueAndManyCyrillicRows) {
  TempDir dir;
  const std::string path = dir / "tavex.sav";
  MemoryWindow saved;
  saved.SetFieldText(Field::IssueNumber, "42");
  saved.SetFieldText(Field::SourceDir, Utf8To1251("d:\\статьи"));
  saved.SetFieldText(Field::IndexPagePath, "tavex#x1\\index.htm");
  saved.SetFieldText(Field::TargetDir, std::string(300, 'a'));  // kept to 255 characters
  saved.SetFieldText(Field::KeepTablesThreshold, "1500");
  saved.SetFieldText(Field::IssuesPerFolder, "12");
  saved.SetChecked(Switch::RemoveAds, false);
  saved.SetChecked(Switch::LinkMainPage, true);
  saved.SetChecked(Switch::MakeEpub, true);
  saved.SetRowCount(61);  // more rows than the old record's 50
  for (int r = 1; r < 61; ++r) {
    saved.SetCell(0, r, "folder" + std::to_string(r));
    saved.SetCell(1, r, Utf8To1251("Рубрика ") + std::to_string(r));
  }
  TSettings settings;
  SaveSettings(saved, settings, path);
  EXPECT_NE(ReadFile(dir.path() / "tavex.sav").find("\xd0\xf3\xe1\xf0\xe8\xea\xe0 60\r\n"),
            std::string::npos);  // Windows-1251 on disk

  MemoryWindow loaded;
  TSettings fresh;
  LoadSettings(fresh, path);
  ApplySettings(fresh, loaded);
  EXPECT_EQ(loaded.RowCount(), 61);
  EXPECT_EQ(loaded.Cell(0, 60), "folder60");
  EXPECT_EQ(loaded.Cell(1, 1), Utf8To1251("Рубрика 1"));
  EXPECT_EQ(loaded.FieldText(Field::IssueNumber), "42");
  EXPECT_EQ(loaded.FieldText(Field::SourceDir), Utf8To1251("d:\\статьи"));
  EXPECT_EQ(loaded.FieldText(Field::IndexPagePath), "tavex#x1\\index.htm");
  EXPECT_EQ(loaded.FieldText(Field::TargetDir), std::string(255, 'a'));
  EXPECT_EQ(loaded.FieldText(Field::KeepTablesThreshold), "1500");
  EXPECT_EQ(loaded.FieldText(Field::IssuesPerFolder), "12");
  for (const auto& info : kSwitches)
    EXPECT_EQ(loaded.IsChecked(info.sw), saved.IsChecked(info.sw)) << info.name;
}

TEST(SaveSettings, BadIssueNumberWritesNothing) {
  TempDir dir;
  WriteFile(dir.path() / "tavex.sav", "old");
  MemoryWindow window;
  window.SetFieldText(Field::IssueNumber, "5a");
  TSettings settings;
  EXPECT_EQ(FailureText([&] { SaveSettings(window, settings, dir / "tavex.sav"); }),
            "'5a' is not a valid integer value");
  EXPECT_EQ(ReadFile(dir.path() / "tavex.sav"), "old");
}

TEST(LoadSettings, ShortRowCountHidesRecordRowsThatKeepTheirValues) {
  TempDir dir;
  // Row count 3, and a third row whose rubric line is missing.
  WriteFile(dir.path() / "tavex.sav",
            "3 2000 30 10\r\n7\r\n000100000000001\r\na\r\nb\r\nc\r\nd\r\ne\r\n"
            "Net\r\nNetwork\r\nSoft\r\nSoftware\r\nOrphan\r\n");
  TSettings settings;
  PutDefaultRows(settings);
  LoadSettings(settings, dir / "tavex.sav");
  ASSERT_EQ(settings.Rows.size(), 5u);
  EXPECT_EQ(settings.Rows[1], (std::pair<std::string, std::string>{"Soft", "Software"}));
  EXPECT_EQ(settings.Rows[2].first, "Software");  // default, not "Orphan"

  MemoryWindow window;
  ApplySettings(settings, window);
  EXPECT_EQ(window.RowCount(), 3);
  EXPECT_EQ(window.Cell(0, 1), "Net");
  EXPECT_EQ(window.Cell(1, 2), "Software");
  EXPECT_EQ(window.FieldText(Field::IssueNumber), "7");
}

TEST(LoadSettings, ShortFlagLineReadsMissingFlagsAsClear) {
  TempDir dir;
  // 14 characters: written before the fifteenth switch existed.
  WriteFile(dir.path() / "tavex.sav", "2 1 2 3\n1\n0x000000000000\np\nq\nr\ns\nt\n");
  TSettings settings;
  settings.Flags.fill(true);
  LoadSettings(settings, dir / "tavex.sav");
  EXPECT_TRUE(settings.Flags[0]);
  EXPECT_FALSE(settings.Flags[1]);  // anything other than "0" is clear
  EXPECT_TRUE(settings.Flags[13]);
  EXPECT_FALSE(settings.Flags[static_cast<int>(Switch::MakeEpub)]);
}

TEST(LoadSettings, BadNumberNamesItAndLeavesTheRecord) {
  TempDir dir;
  MemoryWindow window;
  window.SetFieldText(Field::KeepTablesThreshold, "abc");
  TSettings settings;
  SaveSettings(window, settings, dir / "tavex.sav");  // saved unchanged
  EXPECT_EQ(LoadLines(dir / "tavex.sav")[0], "6 abc 30 10");

  settings.KeepTablesThreshold = 77;
  EXPECT_EQ(FailureText([&] { LoadSettings(settings, dir / "tavex.sav"); }),
            "'abc' is not a valid integer value\n" + (dir / "tavex.sav") + ":1");
  EXPECT_EQ(settings.KeepTablesThreshold, 77);
  EXPECT_EQ(settings.RowCount, 6);
}

TEST(LoadSettings, MissingFileAndTruncatedFile) {
  TempDir dir;
  TSettings settings;
  EXPECT_EQ(FailureText([&] { LoadSettings(settings, dir / "none.sav"); }),
            "Cannot open file " + (dir / "none.sav") + "\n" + (dir / "none.sav") +
                ": No such file or directory");
  WriteFile(dir.path() / "cut.sav", "6 2000 30 10\r\n1\r\n");
  EXPECT_EQ(FailureText([&] { LoadSettings(settings, dir / "cut.sav"); }),
            "List index out of bounds (2)\n" + (dir / "cut.sav") + ":3");
  WriteFile(dir.path() / "empty.sav", "");
  settings.IssueNumber = 9;
  LoadSettings(settings, dir / "empty.sav");  // no lines: nothing changes
  EXPECT_EQ(settings.IssueNumber, 9);
}

TEST(LoadSettings, EveryLineOfACutOffFileNamesTheFileAndTheMissingLine) {
  TempDir dir;
  const std::string path = dir / "tavex.sav";
  const LineList full = {"3 2000 30 10", "7", "000100000000001", "a", "b", "c", "d", "e"};
  // Cut after k lines: line k + 1 is the one missing.
  for (int k = 1; k < 8; ++k) {
    WriteFile(dir.path() / "tavex.sav", JoinLines(LineList(full.begin(), full.begin() + k)));
    TSettings settings;
    EXPECT_EQ(FailureText([&] { LoadSettings(settings, path); }),
              "List index out of bounds (" + std::to_string(k) + ")\n" + path + ":" +
                  std::to_string(k + 1));
    EXPECT_EQ(settings.RowCount, 0) << "a failed load changed the record";
  }
  WriteFile(dir.path() / "tavex.sav", "3 2000 30 10\r\nseven\r\n");
  TSettings settings;
  EXPECT_EQ(FailureText([&] { LoadSettings(settings, path); }),
            "'seven' is not a valid integer value\n" + path + ":2");
}

TEST(LoadSettings, AbsurdRowCountIsRefusedBeforeAnythingIsSized) {
  TempDir dir;
  const std::string path = dir / "tavex.sav";
  const std::string rest =
      "\r\n7\r\n000100000000001\r\na\r\nb\r\nc\r\nd\r\ne\r\nNet\r\nNetwork\r\n";
  for (const char* count : {"2000000000", "10001"}) {
    WriteFile(dir.path() / "tavex.sav", std::string(count) + " 2000 30 10" + rest);
    TSettings settings;
    settings.IssueNumber = 3;
    EXPECT_EQ(FailureText([&] { LoadSettings(settings, path); }),
              "Row count " + std::string(count) + " is above 10000\n" + path + ":1");
    EXPECT_EQ(settings.IssueNumber, 3);  // the record is as it was
    EXPECT_TRUE(settings.Rows.empty());
  }
  // The bound itself is valid, and a count above the rows the file holds is
  // too: the record's rows fill the rest, the window gets every row.
  WriteFile(dir.path() / "tavex.sav", "10000 2000 30 10" + rest);
  TSettings settings;
  PutDefaultRows(settings);
  LoadSettings(settings, path);
  EXPECT_EQ(settings.RowCount, 10000);
  EXPECT_EQ(settings.Rows[0], (std::pair<std::string, std::string>{"Net", "Network"}));
  EXPECT_EQ(settings.Rows[1].first, "System");  // a default row the file does not mention
  MemoryWindow window;
  ApplySettings(settings, window);
  EXPECT_EQ(window.RowCount(), 10000);
  EXPECT_EQ(window.Cell(0, 2), "System");
  EXPECT_EQ(window.Cell(0, 9999), "");
}

TEST(NthField, SplitsAtSingleSpaces) {
  EXPECT_EQ(NthField("6 2000 30 10", 0), "6");
  EXPECT_EQ(NthField("6 2000 30 10", 3), "10");
  EXPECT_EQ(NthField("6 2000 30 10", 4), "");  // past the last field
  EXPECT_EQ(NthField("single", 3), "single");  // no space: the whole line
  EXPECT_EQ(NthField("a  b", 1), "");          // two spaces make an empty field
  EXPECT_EQ(NthField("a  b", 2), "b");
  EXPECT_EQ(NthField("a b ", 2), "");
}

TEST(ActivateMainWindow, WithoutAFileKeepsDesignerDefaults) {
  TempDir dir;
  MemoryWindow window;
  window.SetIssueDate({1999, 5, 5});
  window.SetCell(0, 0, "");
  TSettings settings;
  EXPECT_EQ(FailureText([&] { ActivateMainWindow(window, settings, dir / "tavex.sav"); }),
            "Cannot open file " + (dir / "tavex.sav") + "\n" + (dir / "tavex.sav") +
                ": No such file or directory");
  EXPECT_EQ(window.Cell(0, 0), Utf8To1251("Название папки"));
  EXPECT_EQ(window.IssueDate().year, Today().year);
  EXPECT_EQ(window.RowCount(), 6);
  EXPECT_EQ(window.Cell(0, 1), "");  // nothing applied
  EXPECT_EQ(settings.Rows[4].second, Utf8To1251("Разное"));
  EXPECT_EQ(settings.RowCount, 6);  // captured before the load failed
}

TEST(ActivateMainWindow, ReplacesTypedValuesWithTheSavedOnes) {
  TempDir dir;
  const std::string path = dir / "tavex.sav";
  MemoryWindow window;
  TSettings settings;
  SaveSettings(window, settings, path);
  window.SetFieldText(Field::IssueNumber, "8");
  window.SetFieldText(Field::KeepTablesThreshold, "typed");
  ActivateMainWindow(window, settings, path);
  EXPECT_EQ(window.FieldText(Field::IssueNumber), "1");
  EXPECT_EQ(window.FieldText(Field::KeepTablesThreshold), "2000");
  EXPECT_EQ(window.Cell(0, 1), "");  // the saved rows were empty
}

TEST(ActivateMainWindow, BadIssueNumberStopsBeforeTheLoad) {
  TempDir dir;
  WriteFile(dir.path() / "tavex.sav", "3 1 2 3\n4\n000000000000000\na\nb\nc\nd\ne\n");
  MemoryWindow window;
  window.SetFieldText(Field::IssueNumber, "x");
  TSettings settings;
  EXPECT_EQ(FailureText([&] { ActivateMainWindow(window, settings, dir / "tavex.sav"); }),
            "'x' is not a valid integer value");
  EXPECT_EQ(window.FieldText(Field::IssueNumber), "x");
  EXPECT_EQ(settings.KeepTablesThreshold, 0);
}

}  // namespace
}  // namespace tavex
