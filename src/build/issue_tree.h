// The issue tree a build writes, and the checks that keep the build to it.
//
// A build empties three folders of TargetDir (frame, pub, images) before it
// fills them. Everything here exists so that it never empties, overwrites or
// reads a folder that is not its own: the editor's sources, the working folder
// with its templates, rules and settings, the help contents, or a folder that
// merely happens to have those names.
#pragma once

#include <string>
#include <vector>

#include "platform/folder_lock.h"

namespace tavex {

class MainWindow;

// The file that marks a folder as an issue this program built. It is written
// into TargetDir when a build first fills the folder; its text says so.
inline constexpr const char* kIssueMarkFile = "mytavex.issue";

// The folders of TargetDir that a build empties, in the order it does so.
inline constexpr const char* kEmptiedFolders[3] = {"frame", "pub", "images"};

// Refuses (Failure), before anything is changed, a run whose folders would
// make the build lose or read files that are not its own. Reads the resolved
// SourceDir, TargetDir, IssuesRoot and the rubric rows from the window.
//  - SourceDir must be an existing folder (a run that can read nothing must
//    not empty the previous issue);
//  - a rubric cell is a path below SourceDir: no "..", no absolute path;
//  - TargetDir is not the working folder (the start page would replace its
//    template);
//  - none of the emptied folders holds the working folder, the help contents
//    file or SourceDir, or overlaps a rubric folder the run reads;
//  - TargetDir does not lie inside a rubric folder (the build would read its
//    own pages).
// Paths are compared after resolving "..", links and letter case. TargetDir
// inside SourceDir but outside every rubric folder is allowed: nothing there
// is read or emptied.
void RefuseUnsafeFolders(const MainWindow& window);

// The two locks a run holds from the moment its issue folder exists until it
// ends: the issue folder's (a second run into it is refused) and the help
// contents folder's (a second run sharing it waits, letting window messages
// run, so both issues reach the contents). The system drops both when the
// process dies.
class RunLocks {
 public:
  void Take(MainWindow& window);

 private:
  FolderLock target_;
  FolderLock contents_;
};

// Stage 7 on a tree the build may empty: a marked tree, one whose three
// folders hold no file, or one laid out as an issue built before the mark
// existed (TargetDir holds "index.htm" and "frame\left.htm"); any other is
// refused (Failure) before anything is deleted. Marks the tree, empties the
// three folders (regular files and links only, never through a link), makes
// each that is missing or is a link, and the "Images" spelling for pages'
// references. Fails when a folder cannot be made.
void PrepareIssueFolders(MainWindow& window);

}  // namespace tavex
