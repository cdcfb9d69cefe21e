#include "workspace.h"

#include <sys/stat.h>

#include "platform/text.h"

namespace tavex::test {

Workspace::Workspace() : current_(dir_.path()) {
  WriteFile(dir_.path() / "left.htm", kLeftTemplate);
  WriteFile(dir_.path() / "index.htm", kIndexTemplate);
  WriteFile(dir_.path() / "main.htm", "<html>main</html>\r\n");
  WriteFile(dir_.path() / "tvred.gif", "GIF89a-red");
  WriteFile(dir_.path() / "Logo.gif", "GIF89a-logo");
  WriteFile(dir_.path() / "help" / "Table of Contents.hhc", kContentsWithIssue10);
  std::filesystem::create_directories(dir_.path() / "source");
  // An empty rule folder: no rules, and no warning that the folder is missing.
  std::filesystem::create_directories(dir_.path() / "HtmClear");
  PointWindowAt(window, source(), target(), help());
}

void PointWindowAt(MemoryWindow& window, std::string_view source, std::string_view target,
                   std::string_view issues_root) {
  window.SetFieldText(Field::SourceDir, std::string(source));
  window.SetFieldText(Field::TargetDir, std::string(target));
  window.SetFieldText(Field::IssuesRoot, std::string(issues_root));
  window.SetFieldText(Field::IndexPagePath, "tavex#x1\\index.htm");
  window.SetFieldText(Field::IssueNumber, "11");
  window.SetChecked(Switch::RunCompiler, false);
  window.SetIssueDate({2024, 3, 9});
}

bool MakeFifo(const std::filesystem::path& path) {
#ifdef _WIN32
  (void)path;
  return false;
#else
  return ::mkfifo(path.c_str(), 0600) == 0;
#endif
}

void SetRubricRows(MemoryWindow& window,
                   std::initializer_list<std::pair<const char*, const char*>> rows) {
  window.SetRowCount(static_cast<int>(rows.size()) + 1);
  int r = 1;
  for (const auto& [folder, rubric] : rows) {
    window.SetCell(0, r, Utf8To1251(folder));
    window.SetCell(1, r, Utf8To1251(rubric));
    ++r;
  }
}

void Workspace::AddArticle(std::string_view relative, std::string_view title_utf8) {
  WriteFile(dir_.path() / "source" / relative,
            "<html><head><title>" + Utf8To1251(title_utf8) +
                "</title></head><body><p>Text of the article.</p></body></html>\r\n");
}

void Workspace::SetRubrics(std::initializer_list<std::pair<const char*, const char*>> rows) {
  SetRubricRows(window, rows);
}

}  // namespace tavex::test
