// The EPUB 3 edition of an issue, for phones and e-readers.
//
// Built from the finished issue tree after the review: one XHTML document per
// kept article in navigation-page order, a contents list with each rubric as a
// section and its articles under it, every picture those articles show stored
// once, title "Tavex №" + issue number, the issue date, language ru.
#pragma once

#include <string>

#include "build/article_table.h"

namespace tavex {

class MainWindow;

// The issue folder the run wrote: taken from the article pages' paths
// (TargetDir\pub\N.htm), because in the window the activation that follows
// the review may already have put the typed TargetDir back; without any
// article, TargetDir resolved as the run resolves it ("#x1" replaced, no
// trailing separator).
std::string IssueFolder(const MainWindow& window, const ArticleTable& table);

// The book's path text: the issue folder + "\tavex" + IssueNumber + ".epub".
std::string IssueEpubPath(const MainWindow& window, const ArticleTable& table);

// Writes the book (an IssueEdition for StartRun). Reads IssueNumber, IssueDate
// and the rubric grid from the window when it runs (in the window, after the
// review's activation: the saved number and today's date). Failures (a page missing or beyond the
// parser, a book that cannot be written) are thrown as Failure naming the file; no book or part of
// one is left then, and the issue tree is not touched.
void WriteIssueEpub(MainWindow& window, const ArticleTable& table);

}  // namespace tavex
