// The review dialog's Ok: takes every unchecked article off the saved
// navigation page and deletes its page, and removes the heading of a rubric
// left without a checked article, and removes from "images" the pictures that
// only the dropped pages showed. Shared by the Qt dialog and the command
// line's --exclude.
#pragma once

#include "app/main_window.h"
#include "build/article_table.h"

namespace tavex {

// Reads TargetDir (resolved during a run) and the rubric names from the window.
// Fails with "Cannot open file %s" when the navigation page is missing; then
// nothing is deleted.
void ApplyReview(MainWindow& window, const ArticleTable& table);

}  // namespace tavex
