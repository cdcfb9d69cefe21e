// The articles, rubric by rubric, as the Start run records them and the
// review dialog edits their inclusion.
#pragma once

#include <string>
#include <vector>

namespace tavex {

struct TArticleEntry {
  std::string Title;       // as the cleaner returned it
  std::string LinkMarkup;  // <a href="..\pub\N.htm">, the link line of its navigation block
  std::string FilePath;    // TargetDir + "\pub\N.htm"
  bool Included = false;   // stays in the issue; the review dialog clears it
};

// Rubric k belongs to data row k + 1 of the rubric grid. A rubric's vector
// holds exactly its articles in title order; there is no fixed limit.
struct ArticleTable {
  std::vector<std::vector<TArticleEntry>> Rubrics;
  // Whether rubric k put its heading on the navigation page (its folder cell
  // named a folder the run read). The headings stand on the page in rubric
  // order, so the review finds a rubric's heading by counting, never by a
  // name that another rubric may share. Empty when the table was not built by
  // a run: then every rubric counts as having one.
  std::vector<bool> HasHeading;
};

}  // namespace tavex
