#include "build/help_contents.h"

#include <algorithm>
#include <string>

#include "app/main_window.h"
#include "build/navigation_page.h"
#include "clean/line_helpers.h"
#include "platform/text.h"

namespace tavex {
namespace {

constexpr const char* kItemOpen = "<LI> <OBJECT type=\"text/sitemap\">";
constexpr const char* kObjectClose = "</OBJECT>";
constexpr const char* kNameParam = "\t\t\t<param name=\"Name\" value=\"";

// The name line of an item of the entry's shape that points at the entry's
// start page under another name, or -1.
int RenamedEntry(const LineList& lines, const LineList& entry) {
  for (int i = 2; i < LineCount(lines); ++i)
    if (lines[i] == entry[2] && lines[i - 2] == entry[0] &&
        lines[i - 1].rfind(kNameParam, 0) == 0 && i + 1 < LineCount(lines) &&
        lines[i + 1] == entry[3])
      return i - 1;
  return -1;
}

// The insertion point: the line after the last one holding "</OBJECT>", or 0.
int AfterLastObject(const LineList& lines) {
  for (int i = LineCount(lines) - 1; i >= 0; --i)
    if (lines[i].find(kObjectClose) != std::string::npos) return i + 1;
  return 0;
}

}  // namespace

LineList GroupHeaderBlock(std::string_view number_text, int number) {
  const std::string name = std::string(number_text) + "-" + std::to_string(number + 9);
  return {"\t</UL>", std::string("\t") + kItemOpen,
          "\t\t<param name=\"Name\" value=\"" + name + "\">", std::string("\t\t") + kObjectClose,
          "\t<UL>"};
}

LineList IssueEntryBlock(std::string_view number_text, std::string_view index_page, bool titled) {
  const std::string name = titled ? IssueTitle(number_text) : std::string("#x1");
  return {
      std::string("\t\t") + kItemOpen,
      SubstituteIssueNumber(std::string(kNameParam) + name + "\">", number_text),
      SubstituteIssueNumber(
          "\t\t\t<param name=\"Local\" value=\"" + std::string(index_page) + "\">", number_text),
      std::string("\t\t\t") + kObjectClose};
}

void AddIssueToContents(MainWindow& window) {
  const std::string path = window.FieldText(Field::IssuesRoot) + "\\" + kContentsFile;
  const std::string number = window.FieldText(Field::IssueNumber);
  LineList lines = LoadLines(path);
  int insertion = AfterLastObject(lines);
  int found = 0;
  bool changed = false;

  if (!number.empty() && number.back() == '1') {
    const LineList header = GroupHeaderBlock(number, ParseInt(number));
    if (!FindBlock(0, lines, header, found, &window)) {
      InsertBlock(insertion, lines, header);
      insertion += LineCount(header);
      changed = true;
    } else {
      // The group is there already (the issue ran before with another index
      // page, say): the entry goes after the last item, and at least past the
      // header's own "<UL>", never among the file's closing lines.
      insertion = std::max(insertion, found + LineCount(header));
    }
  }

  const LineList entry = IssueEntryBlock(number, window.FieldText(Field::IndexPagePath),
                                         window.IsChecked(Switch::TitledContents));
  if (!FindBlock(0, lines, entry, found, &window)) {
    const int renamed = RenamedEntry(lines, entry);
    if (renamed >= 0) {
      lines[renamed] = entry[1];
    } else {
      InsertBlock(insertion, lines, entry);
    }
    changed = true;
  }
  if (changed) SaveLines(path, lines);
}

}  // namespace tavex
