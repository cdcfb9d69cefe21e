#include "platform/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/files.h"
#include "support/temp_dir.h"
#include "support/temp_root.h"

namespace fs = std::filesystem;

namespace tavex {
namespace {

TEST(TempFolder, MadeOnlyWhenAskedUniqueAndRemovedWithItsFiles) {
  test::TempDir dir;
  test::ScopedTempRoot root(dir.path());
  std::string first_path;
  {
    TempFolder unused;
    EXPECT_FALSE(unused.Made());
    TempFolder first, second;
    first_path = first.Path();
    EXPECT_TRUE(first.Made());
    EXPECT_EQ(first.Path(), first_path);  // made once
    EXPECT_NE(second.Path(), first_path);
    EXPECT_EQ(fs::path(first_path).parent_path(), dir.path());
    EXPECT_EQ(fs::path(first_path).filename().string().rfind("mytavex-", 0), 0u);
    ASSERT_TRUE(WriteFileWhole(first_path + "\\1.png", "png"));
    ASSERT_TRUE(CreateFolder(first_path + "\\deeper"));
    ASSERT_TRUE(WriteFileWhole(first_path + "\\deeper\\2.gif", "gif"));
    EXPECT_EQ(root.Entries().size(), 2u);
  }
  EXPECT_TRUE(root.Entries().empty());
}

TEST(TempFolder, RemovedWhenAnExceptionLeavesItsScope) {
  test::TempDir dir;
  test::ScopedTempRoot root(dir.path());
  try {
    TempFolder scratch;
    WriteFileWhole(scratch.Path() + "\\a.svg", "<svg/>");
    throw std::runtime_error("failed");
  } catch (const std::runtime_error&) {
  }
  EXPECT_TRUE(root.Entries().empty());
}

}  // namespace
}  // namespace tavex
