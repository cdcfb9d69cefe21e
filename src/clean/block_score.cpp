#include "clean/block_score.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <unordered_map>

#include "clean/attribute_value.h"
#include "platform/text.h"

namespace tavex {
namespace {

// A paragraph with fewer characters of text outside links is a caption, a
// button or a menu entry rather than article text.
constexpr int64_t kGoodParagraphChars = 25;
// A paragraph whose link text is at least this share of its text is a list of
// links, whatever its length.
constexpr double kLinkyParagraphShare = 0.34;
// How much one character of clutter costs against one of article text when
// blocks are compared: at 1 a wrapper is worth taking only when it adds more
// article text than clutter.
constexpr double kClutterWeight = 1.0;
// A block inside the best one that is worth at least this share of it is
// chosen instead: what the wrapper adds is too little to be the article's.
constexpr double kInnerBlockShare = 0.95;
// The same for a block the page itself marks as the article ("article",
// "main", role=main, itemprop=articlebody).
constexpr double kHintedBlockShare = 0.85;
// A block inside the chosen one is left out when it holds no good paragraph
// and at least this share of its text is link text.
constexpr double kLinkBlockShare = 0.5;
// An h1 shorter than this names the site rather than the article.
constexpr size_t kHeadingChars = 15;
// How far into an h1 its text is read: a heading left open runs on into the
// page.
constexpr int kHeadingLines = 20;
// A block of no more characters than this, none of them a letter, is a
// date, a time or a counter rather than article text.
constexpr int64_t kFiguresChars = 40;
// A teaser: one of at least this many alike siblings...
constexpr int kTeaserRun = 3;
// ... each with a headline (a first link of at least this many characters,
// or a heading that holds a link), and less article text than this: a
// headline and a sentence or two, not a section of the article.
constexpr int64_t kHeadlineChars = 20;
constexpr int64_t kTeaserGood = 600;

// Each element's own share before the sums: a paragraph's good text and
// clutter, and whether it is a heading that holds a link.
struct TOwn {
  int64_t Good = 0, Clutter = 0;
  bool LinkedHeading = false;
};

std::vector<TOwn> OwnShares(const TPageTree& tree, int heading_line) {
  std::vector<TOwn> own(tree.Elements.size());
  for (size_t k = 0; k < tree.Elements.size(); ++k) {
    const TElement& element = tree.Elements[k];
    const int64_t all = element.Text + element.LinkText;
    const bool long_enough = element.Text >= kGoodParagraphChars &&
                             static_cast<double>(element.LinkText) < kLinkyParagraphShare * all;
    // An article's text never comes before its heading.
    const bool before_heading = element.Close < heading_line;
    const bool good = long_enough && element.Punctuation > 0 && !before_heading;
    own[k].Good = good ? element.Text : 0;
    own[k].Clutter = before_heading ? all : long_enough ? element.LinkText : all;
    own[k].LinkedHeading = element.LinkedHeading;
  }
  return own;
}

// The sums over each element's tree; frames and hidden elements pass nothing
// up. Children come after their parents, so one backward walk sums them all.
// linked_heading: per element, whether a heading with a link lies in its tree.
void SumTrees(TPageTree& tree, const std::vector<TOwn>& own, std::vector<bool>& linked_heading) {
  linked_heading.assign(tree.Elements.size(), false);
  for (size_t k = 0; k < tree.Elements.size(); ++k) {
    TElement& element = tree.Elements[k];
    element.Good = own[k].Good;
    element.Clutter = own[k].Clutter;
    element.AllText = element.Text + element.LinkText;
    element.AllLinks = element.LinkText;
    element.AllLetters = element.Letters;
    linked_heading[k] = own[k].LinkedHeading;
  }
  for (size_t k = tree.Elements.size(); k-- > 0;) {
    const TElement& element = tree.Elements[k];
    if (element.Parent < 0) continue;
    linked_heading[element.Parent] = linked_heading[element.Parent] || linked_heading[k];
    if (element.Hidden || element.Frame) continue;
    TElement& parent = tree.Elements[element.Parent];
    parent.Good += element.Teaser ? 0 : element.Good;
    parent.Clutter += element.Clutter;
    parent.AllText += element.AllText;
    parent.AllLinks += element.AllLinks;
    parent.AllLetters += element.AllLetters;
    parent.Pictures += element.Pictures;
  }
}

// A headline: a heading with a link in it, or a first text that is a link of
// a headline's length.
bool MayBeTeaser(const TPageTree& tree, const TElement& element, bool linked_heading) {
  const bool headline =
      linked_heading ||
      (element.LeadAnchor >= 0 && tree.Elements[element.LeadAnchor].Anchor >= kHeadlineChars);
  return (element.Kind & kTeaserTag) != 0 && !element.Aside && headline &&
         element.Good < kTeaserGood;
}

// The first word of the tag line's class: "sub-block" for
// class="sub-block hot".
std::string_view FirstClass(std::string_view line) {
  const std::string_view classes = AttributeValue(line, " class=");
  const size_t start = classes.find_first_not_of(' ');
  if (start == std::string_view::npos) return {};
  return classes.substr(start, classes.find(' ', start) - start);
}

// Marks the teasers; true when it marked any. Siblings are alike when they
// are the same element with the same first class word ("sub-block hot" and
// "sub-block cons" are two of a kind).
bool MarkTeasers(TPageTree& tree, const LineList& lines, const std::vector<bool>& linked_heading) {
  struct TKey {
    int Parent;
    std::string_view Name, Class;
    bool operator==(const TKey&) const = default;
  };
  struct THash {
    size_t operator()(const TKey& key) const {
      return std::hash<std::string_view>()(key.Class) ^
             (std::hash<std::string_view>()(key.Name) * 7) ^ (static_cast<size_t>(key.Parent) * 31);
    }
  };
  auto key_of = [&](const TElement& element) {
    return TKey{element.Parent, element.Name, FirstClass(lines[element.Open])};
  };
  std::unordered_map<TKey, int, THash> alike;
  for (size_t k = 0; k < tree.Elements.size(); ++k) {
    const TElement& element = tree.Elements[k];
    if (element.Parent >= 0 && MayBeTeaser(tree, element, linked_heading[k]))
      ++alike[key_of(element)];
  }
  bool marked = false;
  for (size_t k = 0; k < tree.Elements.size(); ++k) {
    TElement& element = tree.Elements[k];
    if (element.Parent < 0 || !MayBeTeaser(tree, element, linked_heading[k])) continue;
    const auto found = alike.find(key_of(element));
    if (found == alike.end() || found->second < kTeaserRun) continue;
    element.Teaser = true;
    marked = true;
  }
  if (!marked) return false;
  // Parents come first: what lies in a teaser is aside too.
  for (TElement& element : tree.Elements)
    element.Aside = element.Hidden || element.Frame || element.Teaser ||
                    (element.Parent >= 0 && tree.Elements[element.Parent].Aside);
  return true;
}

bool IsChoosable(const TElement& element) {
  return (element.Kind & kCandidateTag) != 0 && !element.Aside && element.Good > 0;
}

}  // namespace

void ScoreTree(TPageTree& tree, const LineList& lines, int heading) {
  const std::vector<TOwn> own = OwnShares(tree, heading >= 0 ? tree.Elements[heading].Open : -1);
  std::vector<bool> linked_heading;
  SumTrees(tree, own, linked_heading);
  if (MarkTeasers(tree, lines, linked_heading)) SumTrees(tree, own, linked_heading);
}

double Worth(const TElement& element) {
  return static_cast<double>(element.Good) - kClutterWeight * static_cast<double>(element.Clutter);
}

int ChooseBlock(const TPageTree& tree) {
  const int count = static_cast<int>(tree.Elements.size());
  int best = -1;
  for (int k = 0; k < count; ++k)
    if (IsChoosable(tree.Elements[k]) &&
        Worth(tree.Elements[k]) > (best < 0 ? 0.0 : Worth(tree.Elements[best])))
      best = k;
  if (best < 0) return -1;
  int choice = best;
  for (int k = best + 1; k < count && Inside(tree, k, best); ++k) {
    const TElement& element = tree.Elements[k];
    const double share = element.Hint ? kHintedBlockShare : kInnerBlockShare;
    if (Inside(tree, k, choice) && IsChoosable(element) &&
        Worth(element) >= share * Worth(tree.Elements[best]))
      choice = k;
  }
  return choice;
}

int FindArticleHeading(const TPageTree& tree, const LineList& lines, std::string_view title) {
  const std::string wanted = LowerCase(title);
  if (wanted.empty()) return -1;
  for (size_t k = 0; k < tree.Elements.size(); ++k) {
    const TElement& element = tree.Elements[k];
    if (element.Name != "h1" || element.Aside) continue;
    std::string text;
    const int last = std::min(element.Close, element.Open + kHeadingLines);
    for (int i = element.Open + 1; i <= last; ++i) {
      if (lines[i].empty() || lines[i][0] == '<') continue;
      if (!text.empty()) text += ' ';
      text += lines[i];
    }
    text = LowerCase(text);
    if (text.size() >= kHeadingChars &&
        (wanted.find(text) != std::string::npos || text.find(wanted) != std::string::npos))
      return static_cast<int>(k);
  }
  return -1;
}

bool LeftOut(const TElement& element) {
  if (element.Hidden || element.Frame || element.Teaser) return true;
  // A figure without a picture held a video or a player, which the page
  // offline does not show: its caption tells of nothing there.
  if (element.Name == "figure" && element.Pictures == 0) return true;
  if (element.Good > 0) return false;
  if (element.Name == "form") return true;
  // An empty box: a video player's or an advert's place, which the site's
  // scripts fill and which stays a blank (often black) area offline.
  if ((element.Kind & kBoxTag) != 0 && element.AllText == 0 && element.Pictures == 0) return true;
  // A line of figures alone: a date, a time, a counter of views.
  if ((element.Name == "div" || element.Name == "p") && element.AllText > 0 &&
      element.AllText <= kFiguresChars && element.AllLetters == 0 && element.Pictures == 0)
    return true;
  if ((element.Kind & kLinkListTag) == 0) return false;
  return element.AllText > 0 && static_cast<double>(element.AllLinks) >=
                                    kLinkBlockShare * static_cast<double>(element.AllText);
}

}  // namespace tavex
