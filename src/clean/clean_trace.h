// What the article cleaner tells, when asked, about each step that changed a
// page: so that the editor sees which step dropped a text and which rule
// file cut what. The core prints nothing; a front end that wants the account
// hands CleanArticle a TCleanTrace and shows what it hears.
//
// Lines are counted in the page's line list (one tag or one run of text per
// line once the page is normalised); texts are Windows-1251.
#pragma once

#include <string>
#include <string_view>

#include "clean/line_list.h"

namespace tavex {

// The names of the cleaner's own steps, in the order they run.
// "нормализация": one tag or one run of text per line.
inline constexpr std::string_view kStepNormalise =
    "\xed\xee\xf0\xec\xe0\xeb\xe8\xe7\xe0\xf6\xe8\xff";
// "ремонт заголовка страницы": the page's head put right.
inline constexpr std::string_view kStepHeadRepair =
    "\xf0\xe5\xec\xee\xed\xf2 \xe7\xe0\xe3\xee\xeb\xee\xe2\xea\xe0 "
    "\xf1\xf2\xf0\xe0\xed\xe8\xf6\xfb";
// "скрипты": scripts and style links cut.
inline constexpr std::string_view kStepScripts = "\xf1\xea\xf0\xe8\xef\xf2\xfb";
// "расширение таблиц": table widths set to the whole page.
inline constexpr std::string_view kStepWidenTables =
    "\xf0\xe0\xf1\xf8\xe8\xf0\xe5\xed\xe8\xe5 \xf2\xe0\xe1\xeb\xe8\xf6";
// "таблица статьи": the table that holds the article kept.
inline constexpr std::string_view kStepContentTable =
    "\xf2\xe0\xe1\xeb\xe8\xf6\xe0 \xf1\xf2\xe0\xf2\xfc\xe8";
// "блок статьи": the block that holds the article kept.
inline constexpr std::string_view kStepArticleBlock = "\xe1\xeb\xee\xea \xf1\xf2\xe0\xf2\xfc\xe8";
// "рисунки": pictures numbered and copied.
inline constexpr std::string_view kStepPictures = "\xf0\xe8\xf1\xf3\xed\xea\xe8";
// "ссылки": links between the pages.
inline constexpr std::string_view kStepLinks = "\xf1\xf1\xfb\xeb\xea\xe8";
// "заголовок статьи": the centred heading added.
inline constexpr std::string_view kStepHeading =
    "\xe7\xe0\xe3\xee\xeb\xee\xe2\xee\xea \xf1\xf2\xe0\xf2\xfc\xe8";

struct TStepChange {
  // The step's name (one of the above), or for a rule the rule file's path
  // below "HtmClear" as the listing gave it ("ads/banner.bet").
  std::string Step;
  // For a rule: the line of its file (from 1) that holds the rule's marker,
  // 1 for a rule that has none (a delete rule, an insert rule by position).
  // 0 for a step of the cleaner itself.
  int RuleLine = 0;
  // How many lines the step removed and added: the lines of the page before
  // it that the page after it no longer holds, and the other way round,
  // counting each text as often as it stands.
  int Removed = 0, Added = 0;
  // The first line removed and the first added, in page order; a text line
  // rather than a tag where there is one, as it tells the editor more.
  // Empty when nothing was.
  std::string FirstRemoved, FirstAdded;
};

class TCleanTrace {
 public:
  virtual ~TCleanTrace() = default;
  // One step, or one rule file, changed the page.
  virtual void StepChanged(const TStepChange& change) = 0;
};

// What a step changed: Removed and Added, FirstRemoved and FirstAdded from
// the page before and after it; Step and RuleLine are left empty. Lines that
// only moved count as neither. Linear in the two lists' sizes.
TStepChange DescribeChange(const LineList& before, const LineList& after);

// Watches the article through the cleaner's steps: After reports what
// changed since the last look under a step's name, when anything did. With
// no trace it does nothing and keeps no copy, so a run that asks for no
// account pays nothing.
class TStepWatch {
 public:
  TStepWatch(TCleanTrace* trace, const LineList& article);
  void After(std::string_view step);
  // Takes the article as it stands without telling anything (after the rule
  // passes, which tell their own changes rule by rule).
  void Resync();
  TCleanTrace* Trace() const { return trace_; }

 private:
  TCleanTrace* trace_;
  const LineList& article_;
  LineList seen_;
};

}  // namespace tavex
