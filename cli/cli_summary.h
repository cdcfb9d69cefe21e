// What the command line says when a build has finished: where the issue, its
// start page and its book are, how much went in, and what looks wrong.
#pragma once

#include <ostream>

#include "build/article_table.h"
#include "cli/cli_window.h"

namespace tavex::cli {

// The forms of the command line's own lines on standard error: every message
// starts with the program's name, a warning or an error says which it is.
inline constexpr const char* kProgramPrefix = "mytavex-cli: ";
inline constexpr const char* kWarningPrefix = "mytavex-cli: предупреждение: ";
inline constexpr const char* kErrorPrefix = "mytavex-cli: ошибка: ";

// Each line of a UTF-8 text, prefix first, a newline after each.
void PrintPrefixed(std::ostream& stream, std::string_view prefix, std::string_view utf8);

// The summary on out (UTF-8, absolute paths in the system's own form):
//   Выпуск N: FOLDER
//     стартовая страница: FOLDER/index.htm
//     книга: FOLDER/tavexN.epub                 (when one was made)
//     рубрик: R, статей: A, картинок: P, убрано: D
// R counts the rubric rows that got articles, A every article cleaned, P the
// distinct pictures copied, D the articles the review dropped. Then a warning
// line on err (kWarningPrefix) for each article left with the marker title
// and each --exclude title that matched nothing; the run's own warnings (a
// rubric folder missing or without articles, ...) were printed as they came.
// Nothing when the run did not reach the review.
void PrintBuildSummary(const CliWindow& window, const ArticleTable& table, std::ostream& out,
                       std::ostream& err);

// A path text of the core (Windows-1251, "\" or "/") as the user's system
// writes it: absolute, normalised, UTF-8.
std::string ShownAbsolute(std::string_view path);

}  // namespace tavex::cli
