#include "dialog/apply_review.h"

#include <string>
#include <vector>

#include "build/navigation_page.h"
#include "clean/line_list.h"
#include "dialog/unused_pictures.h"
#include "platform/files.h"
#include "platform/text.h"

namespace tavex {
namespace {

// The page with the lines marked for removal. Blocks are marked first and the
// page is rebuilt once, so each removal costs no shifting of the lines below.
constexpr int kNoFreeLine = -1;

struct MarkedPage {
  LineList lines;
  std::vector<bool> removed;
};

// Whether the lines from first on have the block's shape, the line at
// free_line (the name or title, whatever it holds) aside, and none of them is
// marked yet. Tags are compared ignoring case.
bool HasShape(const MarkedPage& page, int first, const LineList& block, int free_line) {
  if (first < 0 || first + LineCount(block) > LineCount(page.lines)) return false;
  for (int i = 0; i < LineCount(block); ++i) {
    if (page.removed[first + i]) return false;
    if (i != free_line && !EqualsIgnoreCase(page.lines[first + i], block[i])) return false;
  }
  return true;
}

void Mark(MarkedPage& page, int first, int count) {
  for (int i = first; i < first + count; ++i) page.removed[i] = true;
}

// An article's block is found by its link line, which names its own page and
// so no other article's, with its title on the next line; titles alone repeat
// (two articles, an article named like its rubric or like a template line).
bool RemoveArticleBlock(MarkedPage& page, const TArticleEntry& article) {
  const LineList shape = ArticleBlock(article.Title, article.LinkMarkup);
  constexpr int kLinkLine = 3;
  for (int k = 0; k < LineCount(page.lines); ++k) {
    if (page.lines[k] != article.LinkMarkup) continue;
    if (HasShape(page, k - kLinkLine, shape, kNoFreeLine)) {
      Mark(page, k - kLinkLine, LineCount(shape));
      return true;
    }
  }
  return false;
}

// The first heading block at or after line from whose name is the rubric's
// (letter case ignored); the index of its first line, or -1.
int FindRubricHeading(const MarkedPage& page, const std::string& name, int from) {
  const LineList shape = RubricHeadingBlock(name);
  constexpr int kNameLine = 3;
  for (int k = from + kNameLine; k < LineCount(page.lines); ++k) {
    if (!EqualsIgnoreCase(page.lines[k], name)) continue;
    if (HasShape(page, k - kNameLine, shape, kNameLine)) return k - kNameLine;
  }
  return -1;
}

}  // namespace

void ApplyReview(MainWindow& window, const ArticleTable& table) {
  const std::string path = window.FieldText(Field::TargetDir) + "\\frame\\left.htm";
  MarkedPage page;
  page.lines = LoadLines(path);
  page.removed.assign(page.lines.size(), false);

  bool changed = false;
  std::vector<std::string> dropped_pages;
  const int rubrics = window.RowCount() - 1;
  // The headings stand in rubric order: each rubric's is looked for after the
  // one before it, so two rubrics of one name each find their own, and a row
  // that put no heading on the page (its folder was missing) takes none.
  int heading_search_from = 0;
  for (int r = 0; r < rubrics; ++r) {
    static const std::vector<TArticleEntry> kNone;
    const auto& articles = r < static_cast<int>(table.Rubrics.size()) ? table.Rubrics[r] : kNone;
    bool any_included = false;
    for (const TArticleEntry& article : articles) {
      if (article.Included) {
        any_included = true;
        continue;
      }
      changed = true;
      if (RemoveArticleBlock(page, article)) dropped_pages.push_back(article.FilePath);
    }
    const bool has_heading = r < static_cast<int>(table.HasHeading.size())
                                 ? table.HasHeading[r]
                                 : table.HasHeading.empty();
    if (!has_heading) continue;
    const std::string name = window.Cell(1, r + 1);
    const int heading = FindRubricHeading(page, name, heading_search_from);
    if (heading < 0) continue;
    heading_search_from = heading + LineCount(RubricHeadingBlock(name));
    if (!any_included) Mark(page, heading, LineCount(RubricHeadingBlock(name)));
  }
  if (!changed) return;

  LineList kept;
  kept.reserve(page.lines.size());
  for (size_t i = 0; i < page.lines.size(); ++i)
    if (!page.removed[i]) kept.push_back(std::move(page.lines[i]));
  // The page is saved before any article page goes, so a failed save leaves no
  // link pointing at a deleted page.
  SaveLines(path, kept);
  // The pictures only dropped pages showed go with them; they are read first.
  std::vector<std::string> pictures;
  for (const std::string& dropped : dropped_pages)
    for (std::string& name : PicturesOfPage(dropped)) pictures.push_back(std::move(name));
  for (const std::string& dropped : dropped_pages) RemoveFile(dropped);
  RemoveUnusedPictures(window.FieldText(Field::TargetDir), pictures, table);
}

}  // namespace tavex
