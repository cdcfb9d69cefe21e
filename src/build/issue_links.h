// The map of an issue's articles that links between them are rewritten by.
#pragma once

#include <optional>
#include <vector>

#include "build/start_run.h"
#include "clean/page_links.h"

namespace tavex {

class MainWindow;

// Every article of the issue with the number its page will get: rubric rows
// in grid order (a row without a folder holds nothing), each row's files as
// FindRubricArticles listed them, pages
// counted from 0 across the issue, as the build numbers them. Each page is
// read only as far as its head (its first 64 KB, up to "<body") for the
// addresses it states; a page that cannot be read is still mapped by its file
// and its failure is left to the cleaner, which names it.
TIssueArticles MapIssueArticles(const std::vector<std::optional<TRubricFiles>>& rubric_files);

}  // namespace tavex
