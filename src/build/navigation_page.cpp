#include "build/navigation_page.h"

#include "app/main_window.h"
#include "clean/line_helpers.h"
#include "platform/text.h"

namespace tavex {
namespace {

// Replaces the first occurrence of placeholder in line by text.
void FillPlaceholder(std::string& line, std::string_view placeholder, std::string_view text) {
  size_t at = line.find(placeholder);
  if (at != std::string::npos) line.replace(at, placeholder.size(), text);
}

}  // namespace

LineList RubricHeadingBlock(std::string_view name) {
  return {"<td>", "<font color=\"#660000\">", "<b>", std::string(name), "</b>", "</font>", "</td>",
          "</tr>"};
}

LineList ArticleBlock(std::string_view title, std::string_view link_markup) {
  return {"<tr>",
          "<td>",
          "<font size=\"2\">",
          std::string(link_markup),
          std::string(title),
          "</a>",
          "</font>",
          "</td>",
          "</tr>"};
}

std::string IssueTitle(std::string_view number_text) {
  return "Tavex \xb9" + std::string(number_text);  // "Tavex №12"
}

TNavigationPage PrepareNavigationPage(MainWindow& window) {
  LineList lines = LoadLines(kNavigationTemplate);
  const std::string number = window.FieldText(Field::IssueNumber);
  const std::string date = window.ShortDate();
  for (std::string& line : lines) {
    // Lower-cased first, so the template's own letters all come out small
    // while the inserted texts keep their case.
    line = SubstituteIssueNumber(LowerCase(line), number);
    FillPlaceholder(line, "mytitle", IssueTitle(number));
    FillPlaceholder(line, "mynumer", number);
    FillPlaceholder(line, "mydate", date);
  }
  // FindLine's 0 means "absent" also for a marker on line 0: the blocks then go
  // after the first line, as they always have.
  size_t insertion = static_cast<size_t>(FindLine(kBeginMarker, lines)) + 1;
  if (insertion > lines.size()) insertion = lines.size();
  TNavigationPage page;
  page.Tail.assign(lines.begin() + static_cast<std::ptrdiff_t>(insertion), lines.end());
  lines.resize(insertion);
  page.Lines = std::move(lines);
  return page;
}

void AddRubricHeading(TNavigationPage& page, std::string_view name) {
  const LineList block = RubricHeadingBlock(name);
  page.Lines.insert(page.Lines.end(), block.begin(), block.end());
}

void AddArticleLine(TNavigationPage& page, std::string_view title, std::string_view link_markup) {
  const LineList block = ArticleBlock(title, link_markup);
  page.Lines.insert(page.Lines.end(), block.begin(), block.end());
}

LineList NavigationPageLines(const TNavigationPage& page) {
  LineList lines = page.Lines;
  lines.insert(lines.end(), page.Tail.begin(), page.Tail.end());
  return lines;
}

void SaveNavigationPage(const TNavigationPage& page, const MainWindow& window) {
  SaveLines(window.FieldText(Field::TargetDir) + "\\frame\\left.htm", NavigationPageLines(page));
}

}  // namespace tavex
