// The block pass, in four steps:
//   1. read the body of the page before the table pass into a tree of
//      elements, each text run charged to its paragraph (clean/block_tree.h);
//   2. judge every paragraph good or clutter (none good before the
//      article's heading), sum both over every element and choose the block
//      whose good text most outweighs its clutter (clean/block_score.h);
//   3. judge the table pass's result the same way and decide which stands;
//   4. write the head, the heading and the block, or the table pass's
//      result, leaving out what is never article text.
#include "clean/article_block.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "clean/block_score.h"
#include "clean/block_tree.h"
#include "clean/line_helpers.h"

namespace tavex {
namespace {

// The table pass kept at least this share of the body's text: it chose
// nothing (its wrapper won, or the page has no table of its own).
constexpr double kWholeBodyShare = 0.9;
// The table pass kept less than this share: the table it chose holds a part
// of the page, not the article (a jump form, one table of many).
constexpr double kSmallShare = 0.1;
// The table pass chose one text table of several (the article among its
// comments or other stories) when the block holds this many times the
// article text the table does.
constexpr double kMoreGood = 1.5;

// The first line after the "</head>" line, or -1 when there is none after line 0.
int BodyStart(const LineList& lines) {
  const int head_end = FindLine("</head>", lines);
  return head_end == 0 ? -1 : head_end + 1;
}

// The lines of the page's first centred heading, down to its "</h2>" line.
void AppendHeading(const LineList& lines, int body, int block_open, int block_close,
                   LineList& out) {
  for (int i = body; i < LineCount(lines); ++i) {
    if (lines[i] != "<h2 align=\"center\">" && lines[i] != "<h2 align=center>") continue;
    if (i >= block_open && i <= block_close) return;
    for (int k = i; k < LineCount(lines); ++k) {
      out.push_back(lines[k]);
      if (lines[k].starts_with("</h2")) break;
    }
    return;
  }
}

// Step 4: the lines first to last, left-out elements skipped whole, except
// the element keep (-1 for none); without the page's own html and body tags
// when drop_frame_tags is set.
void AppendKept(const LineList& lines, const TPageTree& tree, int first, int last, int keep,
                bool drop_frame_tags, LineList& out) {
  for (int i = first; i <= last; ++i) {
    if (drop_frame_tags) {
      bool closing = false;
      const std::string_view name = TagName(lines[i], closing);
      if (name == "html" || name == "body") continue;
    }
    const int opened = tree.OpenedAt[i];
    if (opened >= 0 && opened != keep && LeftOut(tree.Elements[opened])) {
      i = tree.Elements[opened].Close;
      continue;
    }
    out.push_back(lines[i]);
  }
}

// The block's lines. A table cell is written without its own tags, which
// need a row around them; the page's own html and body tags are left to the
// frame the pass writes around the block.
void AppendBlock(const LineList& lines, const TPageTree& tree, int block, LineList& out) {
  const TElement& chosen = tree.Elements[block];
  const bool cell = chosen.Name == "td";
  AppendKept(lines, tree, cell ? chosen.Open + 1 : chosen.Open,
             cell ? chosen.Close - 1 : chosen.Close, block, true, out);
}

// The article text of the whole list read into tree.
int64_t GoodOfBody(const TPageTree& tree) {
  int64_t good = 0;
  for (const TElement& element : tree.Elements)
    if (element.Parent < 0 && !element.Hidden && !element.Frame) good += element.Good;
  return good;
}

// Step 3: whether the table pass's result stands against the block. It does
// when it holds a fair share of the body's text (neither nearly all of it nor
// a sliver) and the block holds more than 1.5 times its article text: the
// table pass then chose the article among texts of its kind in tables of
// their own (its comments, other stories), which the block takes in too.
// kept is the table pass's result read into a tree, when it stands.
bool TableStands(const LineList& before_tables, int body, const LineList& article, int kept_body,
                 const TElement& block, TPageTree& kept) {
  const int64_t all = ShownText(before_tables, body);
  const double share =
      all == 0 ? 1.0
               : static_cast<double>(ShownText(article, kept_body)) / static_cast<double>(all);
  if (share >= kWholeBodyShare || share < kSmallShare) return false;
  kept = ReadTree(article, kept_body);
  ScoreTree(kept, article);
  const int64_t table_good = GoodOfBody(kept);
  return table_good > 0 && static_cast<double>(block.Good) > kMoreGood * table_good;
}

}  // namespace

void PickArticleBlock(LineList& article, const LineList& before_tables, std::string_view title) {
  const int body = BodyStart(before_tables);
  const int kept_body = BodyStart(article);
  if (body < 0 || kept_body < 0) return;
  TPageTree page = ReadTree(before_tables, body);
  if (page.Visible == 0) return;
  ScoreTree(page, before_tables, FindArticleHeading(page, before_tables, title));
  const int block = ChooseBlock(page);
  if (block < 0) return;

  TPageTree kept;
  if (TableStands(before_tables, body, article, kept_body, page.Elements[block], kept)) {
    LineList out(article.begin(), article.begin() + kept_body);
    AppendKept(article, kept, kept_body, LineCount(article) - 1, -1, false, out);
    article = std::move(out);
    return;
  }
  LineList out(before_tables.begin(), before_tables.begin() + body);
  out.push_back("<body>");
  AppendHeading(before_tables, body, page.Elements[block].Open, page.Elements[block].Close, out);
  AppendBlock(before_tables, page, block, out);
  out.push_back("</body>");
  out.push_back("</html>");
  article = std::move(out);
}

}  // namespace tavex
