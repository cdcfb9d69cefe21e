// A working folder for cleaning articles over real files: an empty HtmClear
// (no rule takes part unless a test writes one), the source folder "src" and
// the issue folder "out" with its "pub" and "images". Rules, the content table
// and the extra information are switched off unless a test needs them.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "app/memory_window.h"
#include "support/temp_dir.h"

namespace tavex::test {

class ArticleWorkspace : public ::testing::Test {
 protected:
  ArticleWorkspace();

  // Writes a file below "src" (relative: UTF-8); returns its path text.
  std::string WriteSource(std::string_view relative, std::string_view bytes);

  TempDir work_;
  ScopedCurrentDir cwd_;
  MemoryWindow window_;
};

}  // namespace tavex::test
