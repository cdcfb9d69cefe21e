// The EPUB 3 edition of an issue, for phones and e-readers.
//
// Built from the finished issue tree after the review: one XHTML document per
// kept article in navigation-page order, a contents list with each rubric as a
// section and its articles under it, every picture those articles show stored
// once, title "Tavex №" + issue number, the issue date, language ru, a cover
// (book_cover.h, from the working folder: the process's current folder), and
// as creator and publisher the title of the help project at ProjectPath.
#pragma once

#include <string>

#include "build/article_table.h"
#include "build/start_run.h"

namespace tavex {

class MainWindow;

// The book's path text: the issue folder + "\tavex" + issue number + ".epub".
std::string IssueEpubPath(const TIssueFacts& issue);

// Writes the book (an IssueEdition for StartRun): the issue's folder, number,
// date and rubric titles come from the facts the run took down before the
// review; the window only lets messages run. Failures (a page missing or
// beyond the parser, a book that cannot be written) are thrown as Failure
// naming the file; no book or part of one is left then, and the issue tree is
// not touched.
void WriteIssueEpub(MainWindow& window, const TIssueFacts& issue, const ArticleTable& table);

}  // namespace tavex
