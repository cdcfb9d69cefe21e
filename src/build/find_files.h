// Finding the files of a folder tree, and emptying one.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tavex {

class MainWindow;

// Appends every file below folder (sub-folders included) whose extension fits,
// as the lower-cased text folder + "\" + relative name, then sorts the whole
// list by character codes (stable). The extension ".htm" takes ".htm" in any
// letter case and ".html" in lower case only: the editor's saving tool writes
// the latter, and "a.HTML" has always been left out. An empty extension takes
// every file. ".htm" takes the page archives ".mht" and ".mhtml" (any case)
// as well. A folder that does not exist adds nothing. Lets the window's
// messages run once per folder entry, so the window stays live over big trees.
void FindFiles(std::string_view folder, std::string_view extension, std::vector<std::string>& list,
               MainWindow& window);

// Deletes every file below folder; sub-folders stay, emptied of files. A file
// that cannot be deleted is passed over.
void ClearFolder(std::string_view folder, MainWindow& window);

}  // namespace tavex
