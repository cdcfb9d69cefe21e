// Finding the files of a folder tree.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tavex {

class MainWindow;

// Appends every file below folder (sub-folders included) whose extension fits,
// as folder + "\" + relative name exactly as listed, so that each is opened by
// its own name (two files whose names differ only in case are two articles),
// then sorts the whole list by the lower-cased texts, comparing character
// codes (stable: case twins keep their listing order). The extension ".htm"
// takes ".htm" in any letter case and ".html" in lower case only: the editor's
// saving tool writes the latter, and "a.HTML" has always been left out; it
// takes the page archives ".mht" and ".mhtml" (any case) as well. An empty
// extension takes every file. A folder that does not exist adds nothing.
// When root is given, a linked file or folder whose real location lies outside
// root, and an entry that is not a regular file (a named pipe, a device), is
// passed over with a warning naming it. Lets the window's messages run once
// per folder entry, so the window stays live over big trees.
void FindFiles(std::string_view folder, std::string_view extension, std::vector<std::string>& list,
               MainWindow& window, std::string_view root = {});

}  // namespace tavex
