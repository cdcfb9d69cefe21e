// What the command line says when a build has finished: where the issue, its
// start page and its book are, how much went in, and what looks wrong.
#pragma once

#include <ostream>

#include "build/article_table.h"
#include "cli/cli_window.h"

namespace tavex::cli {

// The summary on out (UTF-8, absolute paths in the system's own form):
//   Issue N: FOLDER
//     start page: FOLDER/index.htm
//     book: FOLDER/tavexN.epub                 (when one was made)
//     rubrics R, articles A, pictures P, dropped D
// R counts the rubric rows that got articles, A every article cleaned, P the
// distinct pictures copied, D the articles the review dropped. Then one
// "warning:" line on err for each rubric row whose folder is not given, is
// missing or holds no article, each article left with the marker title, and
// each --exclude title that matched nothing. Nothing when the run did not
// reach the review.
void PrintBuildSummary(const CliWindow& window, const ArticleTable& table, std::ostream& out,
                       std::ostream& err);

// A path text of the core (Windows-1251, "\" or "/") as the user's system
// writes it: absolute, normalised, UTF-8.
std::string ShownAbsolute(std::string_view path);

}  // namespace tavex::cli
