// The working folder a new user starts in, made from the sample working folder
// that ships with the program (the checkout's data/: settings, templates, rule
// files, a small source folder and a help project).
#pragma once

#include <string>
#include <string_view>

namespace tavex {

// The sample working folder's path text: the installed one, the folder above
// the program's + "/share/mytavex/sample" (/usr/share/mytavex/sample for
// /usr/bin), or else the checkout's data/ that a program run from its build
// tree was built from; the first of them that holds "tavex.sav". Failure
// naming both places when neither does.
std::string FindSampleFolder();

// Makes folder a working folder: a copy of sample's files without what builds
// of the sample made in it (folders holding an issue's mark file, compiled
// help files ".chm" and compiler logs ".log", hidden files such as locks and
// temporaries). The sample's settings name their folders relative to the
// working folder, so the copy builds its issue where it stands.
//
// folder must be new or empty; it is made with the folders above it when
// missing. A folder that holds anything, a path that is a file, and a folder
// inside the sample are refused with a Failure naming them, before anything
// is written. Files are written whole and never replace one
// (WriteFileNoReplace): a file that appears meanwhile fails the copy and
// stays as it is. Answers the number of files copied.
int MakeWorkingFolder(std::string_view sample, std::string_view folder);

}  // namespace tavex
