// The running program's own files: the folder it was started from, and the
// shared libraries (plug-ins) it loads while it runs.
//
// A plug-in holds a part of the program that needs a library of its own, so
// that a run which does not need that part never loads it. Plug-ins are found
// relative to the program, never through the system's library path: an
// installed program finds the installed ones and a build tree its own.
#pragma once

#include <string>
#include <string_view>

namespace tavex {

// The folder that holds the running program's executable, as a path text
// (links resolved); empty when the system cannot tell it.
std::string ProgramFolder();

// The folder the program's plug-ins are in, as a path text. POSIX: the
// program's folder + "/../lib/mytavex" (with the prefix /usr, "lib/" + the
// multiarch triplet + "/mytavex"), so /usr/bin/mytavex-cli finds
// /usr/lib/x86_64-linux-gnu/mytavex and a build tree's build/cli/mytavex-cli
// (or a test in build/tests) finds build/lib/mytavex. Windows: the program's
// own folder, as the system looks for a program's DLLs. Empty when
// ProgramFolder is.
std::string PlugInFolder();

// The file name of the plug-in called name: "lib" + name + ".so" on POSIX,
// name + ".dll" on Windows.
std::string PlugInFileName(std::string_view name);

// Loads the shared library at path (a path text) with every symbol it needs
// bound now, so a missing dependency shows here and not in the middle of a
// run. It stays loaded until the process ends: what it hands out may live as
// long as the program. nullptr when it cannot be loaded; reason then says why
// in the system's words (missing file, a library it needs is missing, not a
// library of this system), without the path.
void* LoadSharedLibrary(std::string_view path, std::string& reason);

// The address of the symbol called name that the library exports, or nullptr.
void* FindLibrarySymbol(void* library, const char* name);

}  // namespace tavex
