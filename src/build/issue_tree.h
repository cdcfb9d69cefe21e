// The issue tree a build writes, and the checks that keep the build to it.
//
// A build empties three folders of TargetDir (frame, pub, images) before it
// fills them. Everything here exists so that it never empties, overwrites or
// reads a folder that is not its own: the editor's sources, the working folder
// with its templates, rules and settings, the help contents, or a folder that
// merely happens to have those names. Each folder is resolved once on the real
// file system and held open (platform/held_folder.h): the checks compare the
// held folders, and every later call reaches them through their handles, so
// no other spelling of a folder, and no link swapped in meanwhile, can lead a
// write anywhere the checks did not look.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "platform/folder_lock.h"
#include "platform/held_folder.h"

namespace tavex {

class MainWindow;

// The file that marks a folder as an issue this program built. It is written
// into TargetDir when a build first fills the folder; its text says so.
inline constexpr const char* kIssueMarkFile = "mytavex.issue";

// The folders of TargetDir that a build empties, in the order it does so.
inline constexpr const char* kEmptiedFolders[3] = {"frame", "pub", "images"};

// The folders of one run, from its first check to its end. Destroying it
// drops the bindings, the locks and the handles.
class TRunFolders {
 public:
  // The first stage, before anything is changed: resolves the working folder,
  // SourceDir, each rubric folder, TargetDir and IssuesRoot (the window's
  // fields, already resolved for the issue number) and the contents file
  // (links followed) to their real locations, and refuses (Failure) a run
  // whose folders would make the build lose or read files that are not its
  // own:
  //  - SourceDir must be an existing folder (a run that can read nothing must
  //    not empty the previous issue);
  //  - a rubric cell is a path below SourceDir: no "..", no absolute path;
  //  - TargetDir is not the file system's root, a drive's root or the user's
  //    home folder, and not the working folder (the start page would replace
  //    its template);
  //  - none of the emptied folders holds the working folder, the contents
  //    file or SourceDir, or overlaps a rubric folder the run reads;
  //  - TargetDir does not lie inside a rubric folder (the build would read its
  //    own pages).
  // TargetDir inside SourceDir but outside every rubric folder is allowed:
  // nothing there is read or emptied. The working folder and SourceDir are
  // held and bound from here on, so the rubric folders are listed through them.
  void Resolve(const MainWindow& window);

  // Makes the missing levels of TargetDir, each under the one already held,
  // and refuses (Failure) a TargetDir that then is not where Resolve found it
  // would be; holds and binds it and the contents folder, and takes the locks:
  // a second run into the same issue folder is refused, a run sharing the
  // contents file (the real one, wherever links lead) waits for it, letting
  // window messages run. The system drops the locks when the process dies.
  void Take(MainWindow& window);

  // Stage 7 on a tree the build may empty: a marked tree, one laid out as an
  // issue built before the mark existed (TargetDir holds "index.htm" and
  // "frame\left.htm"), or a new tree: one whose three folders hold no file and
  // that holds neither of the files the build would replace ("index.htm",
  // "frame\left.htm"). Any other is refused (Failure) before anything is
  // deleted, naming the file that makes it someone else's. Marks the tree,
  // empties the three folders (their files, and links as links; an entry that
  // cannot be removed, or that is neither a file nor a link, ends the run
  // naming it and the system's reason: left in place it could stand in for a
  // page or a picture of the same name, and a folder there is no folder the
  // build made), makes each that is missing or is a link, holds and binds
  // them, and makes the "Images" spelling for pages' references.
  void PrepareIssueFolders(MainWindow& window);

 private:
  HeldFolder work_, source_, target_, contents_folder_;
  std::optional<TResolvedFile> contents_file_;
  std::array<HeldFolder, 3> emptied_;
  std::string target_real_;  // where Resolve found TargetDir would be
  FolderLock target_lock_, contents_lock_;
  // Declared last: a binding goes before the folder it names.
  std::vector<FolderBinding> bindings_;
};

}  // namespace tavex
