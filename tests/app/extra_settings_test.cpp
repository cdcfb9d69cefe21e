#include "app/extra_settings.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/memory_window.h"
#include "app/settings.h"
#include "clean/line_list.h"
#include "support/temp_dir.h"

namespace tavex {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

const char kSavedSample[] = "6 2000 30 10\r\n1\r\n000100000000001\r\na\r\nb\r\nc\r\nd\r\ne\r\n";

TEST(ExtraSettings, BesideTavexSav) {
  EXPECT_EQ(ExtraSettingsPathBeside("tavex.sav"), "mytavex.ini");
  EXPECT_EQ(ExtraSettingsPathBeside("c:\\work\\tavex.sav"), "c:\\work\\mytavex.ini");
  EXPECT_EQ(ExtraSettingsPathBeside("/w/tavex.sav"), "/w/mytavex.ini");
}

TEST(ExtraSettings, SavingWritesBothFilesAndTavexSavKeepsFifteenFlags) {
  TempDir dir;
  MemoryWindow window;
  window.SetChecked(Switch::PickArticleBlock, true);
  window.SetChecked(Switch::UnlinkMissingPages, true);
  TSettings settings;
  SaveSettings(window, settings, dir / "tavex.sav");
  const LineList saved = SplitIntoLines(ReadFile(dir.path() / "tavex.sav"));
  EXPECT_EQ(saved[2], "000100000000001");
  EXPECT_EQ(ReadFile(dir.path() / "mytavex.ini"),
            "; MyTavex options beyond tavex.sav: Name=on or Name=off, one a line\r\n"
            "PickArticleBlock=on\r\nModernPictures=off\r\nTrimSiteName=off\r\n"
            "UnlinkMissingPages=on\r\nTitledContents=off\r\n");
  // written whole under another name and moved: nothing else is left beside them
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    (void)entry;
    ++files;
  }
  EXPECT_EQ(files, 2);
}

TEST(ExtraSettings, RoundTripThroughActivation) {
  TempDir dir;
  const std::string path = dir / "tavex.sav";
  MemoryWindow saved;
  saved.SetChecked(Switch::TrimSiteName, true);
  saved.SetChecked(Switch::ModernPictures, true);
  TSettings settings;
  SaveSettings(saved, settings, path);

  MemoryWindow window;
  window.SetChecked(Switch::PickArticleBlock, true);  // typed, not saved: the file wins
  TSettings fresh;
  ActivateMainWindow(window, fresh, path);
  EXPECT_TRUE(window.IsChecked(Switch::TrimSiteName));
  EXPECT_TRUE(window.IsChecked(Switch::ModernPictures));
  EXPECT_FALSE(window.IsChecked(Switch::PickArticleBlock));
  EXPECT_FALSE(window.IsChecked(Switch::UnlinkMissingPages));
}

TEST(ExtraSettings, MissingFileOrNameOrBadValueLeavesTheDefault) {
  TempDir dir;
  const std::string path = dir / "tavex.sav";
  WriteFile(dir.path() / "tavex.sav", kSavedSample);
  TSettings settings;
  settings.Flags.fill(true);
  LoadSettings(settings, path);  // no mytavex.ini at all
  for (int sw = kSavedSwitchCount; sw < kSwitchCount; ++sw) EXPECT_FALSE(settings.Flags[sw]);
  EXPECT_TRUE(settings.Flags[static_cast<int>(Switch::RemoveAds)]);  // from tavex.sav

  WriteFile(dir.path() / "mytavex.ini",
            "TrimSiteName=ON\nModernPictures=yes\n PickArticleBlock = on \n");
  settings.Flags.fill(true);
  LoadSettings(settings, path);
  EXPECT_TRUE(settings.Flags[static_cast<int>(Switch::TrimSiteName)]);      // letter case ignored
  EXPECT_TRUE(settings.Flags[static_cast<int>(Switch::PickArticleBlock)]);  // spaces trimmed
  EXPECT_FALSE(settings.Flags[static_cast<int>(Switch::ModernPictures)]);   // not on/off
  EXPECT_FALSE(settings.Flags[static_cast<int>(Switch::UnlinkMissingPages)]);  // absent
}

TEST(ExtraSettings, UnknownLinesAreKeptInTheirPlace) {
  TempDir dir;
  const std::string path = dir / "tavex.sav";
  WriteFile(dir.path() / "tavex.sav", kSavedSample);
  WriteFile(dir.path() / "mytavex.ini",
            "; my notes\r\nFutureOption=on\r\nTrimSiteName=on\r\nRemoveAds=off\r\n"
            "TrimSiteName=off\r\n[section]\r\n");
  TSettings settings;
  MemoryWindow window;
  ActivateMainWindow(window, settings, path);
  EXPECT_TRUE(window.IsChecked(Switch::TrimSiteName));  // the later repeat does not count
  EXPECT_TRUE(window.IsChecked(Switch::RemoveAds));     // tavex.sav's switch, not this file's
  window.SetChecked(Switch::TrimSiteName, false);
  window.SetChecked(Switch::PickArticleBlock, true);
  SaveSettings(window, settings, path);
  EXPECT_EQ(ReadFile(dir.path() / "mytavex.ini"),
            "; my notes\r\nFutureOption=on\r\nTrimSiteName=off\r\nRemoveAds=off\r\n[section]\r\n"
            "PickArticleBlock=on\r\nModernPictures=off\r\nUnlinkMissingPages=off\r\n"
            "TitledContents=off\r\n");
}

}  // namespace
}  // namespace tavex
