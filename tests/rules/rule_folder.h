// A temporary current folder with an "HtmClear" rule folder, for tests that
// apply real rule files.
#pragma once

#include <string>
#include <string_view>

#include "app/memory_window.h"
#include "clean/line_list.h"
#include "platform/failure.h"
#include "support/temp_dir.h"

namespace tavex::test {

class RuleFolder {
 public:
  RuleFolder() : current_(dir_.path()) { window.SetFieldText(Field::IssueNumber, "12"); }

  // Writes a rule file below "HtmClear"; lines are joined with CR LF.
  void Rule(std::string_view name, const LineList& lines) {
    WriteFile(dir_.path() / "HtmClear" / std::string(name), JoinLines(lines));
  }
  const std::filesystem::path& root() const { return dir_.path(); }

  MemoryWindow window;

 private:
  TempDir dir_;
  ScopedCurrentDir current_;
};

// The text of the failure that running the pass raises, or "" when none.
template <typename Pass>
std::string FailureOf(Pass pass) {
  try {
    pass();
  } catch (const Failure& failure) {
    return failure.what();
  }
  return "";
}

}  // namespace tavex::test
