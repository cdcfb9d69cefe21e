// A working folder made from a sample: what is copied, what builds of the
// sample left that is not, and the folders that are refused untouched.
#include "launch/working_folder.h"

#include <gtest/gtest.h>

#include <map>

#include "platform/failure.h"
#include "platform/text.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace tavex {
namespace {

using test::FileTree;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

// A sample with what a build of it leaves beside its own files: an issue
// folder (its mark file inside), the compiled help file and its log, a lock
// and a half-written temporary.
class Sample : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"tavex.sav", "left.htm", "HtmClear/Fonts/arial.cha",
                             "source/Internet/mail.htm", "help/tavex.hhp"})
      WriteFile(sample.path() / name, std::string("bytes of ") + name);
    for (const char* name :
         {"help/tavex1/tavex1/mytavex.issue", "help/tavex1/tavex1/pub/0.htm", "help/tavex.chm",
          "help/tavex.log", ".mytavex-lock", "help/.tavex.hhc.tmp-123"})
      WriteFile(sample.path() / name, "made by a build");
  }
  std::string SampleText() const { return sample.text(); }
  std::string Failing(const fs::path& folder) {
    try {
      MakeWorkingFolder(SampleText(), folder.string());
    } catch (const Failure& failure) {
      return Cp1251ToUtf8(failure.what());
    }
    return "no failure";
  }

  TempDir sample, place;
};

TEST_F(Sample, CopiesTheSampleWithoutWhatItsBuildsLeft) {
  const fs::path folder = place.path() / "new" / "work";  // made with the folder above
  EXPECT_EQ(MakeWorkingFolder(SampleText(), folder.string()), 5);
  const std::map<std::string, std::string> expected = {
      {"tavex.sav", "bytes of tavex.sav"},
      {"left.htm", "bytes of left.htm"},
      {"HtmClear/Fonts/arial.cha", "bytes of HtmClear/Fonts/arial.cha"},
      {"source/Internet/mail.htm", "bytes of source/Internet/mail.htm"},
      {"help/tavex.hhp", "bytes of help/tavex.hhp"}};
  EXPECT_EQ(FileTree(folder), expected);
  // Not even the emptied issue folder's parents come along.
  EXPECT_FALSE(fs::exists(folder / "help" / "tavex1"));
}

TEST_F(Sample, AnEmptyFolderIsFilled) {
  fs::create_directory(place.path() / "empty");
  EXPECT_EQ(MakeWorkingFolder(SampleText(), (place.path() / "empty").string()), 5);
  EXPECT_EQ(ReadFile(place.path() / "empty" / "tavex.sav"), "bytes of tavex.sav");
}

// A folder holding anything, even one hidden file, is refused by name and
// keeps what it held; so is a file, and a folder inside the sample.
TEST_F(Sample, FoldersThatAreNotNewOrEmptyAreRefusedUntouched) {
  for (const char* name : {"mine/tavex.sav", "hidden/.settings"}) {
    const fs::path file = place.path() / name;
    WriteFile(file, "the editor's own");
    const std::string failure = Failing(file.parent_path());
    EXPECT_NE(failure.find("Папка " + file.parent_path().string() + " не пуста"), std::string::npos)
        << failure;
    EXPECT_EQ(FileTree(file.parent_path()).size(), 1u);
    EXPECT_EQ(ReadFile(file), "the editor's own");
  }
  WriteFile(place.path() / "plain", "a file");
  EXPECT_NE(Failing(place.path() / "plain").find(" — не папка"), std::string::npos);
  EXPECT_EQ(ReadFile(place.path() / "plain"), "a file");

  // A folder whose name differs only in letter case stands for a missing one
  // in the program's paths; it is neither filled nor taken for the new one.
  fs::create_directory(place.path() / "mytavex");
  const std::string variant = Failing(place.path() / "MyTavex");
  EXPECT_NE(variant.find("Есть папка " + (place.path() / "mytavex").string() +
                         ", чьё имя отличается от " + (place.path() / "MyTavex").string() +
                         " только регистром букв"),
            std::string::npos)
      << variant;
  EXPECT_TRUE(fs::is_empty(place.path() / "mytavex"));

  const std::map<std::string, std::string> before = FileTree(sample.path());
  const std::string inside = Failing(sample.path() / "work");
  EXPECT_NE(inside.find("лежит внутри образца"), std::string::npos) << inside;
  EXPECT_EQ(FileTree(sample.path()), before);
  EXPECT_FALSE(fs::exists(sample.path() / "work"));
}

}  // namespace
}  // namespace tavex
