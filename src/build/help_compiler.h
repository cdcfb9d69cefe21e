// Handing the help project over at the end of a run.
#pragma once

#include <string>
#include <string_view>

namespace tavex {

class MainWindow;

// Where the help compiler writes its result for a project: the project's
// "Compiled file=" option, relative to the project's folder, or the project's
// name with ".chm". A native path.
std::string CompiledFileOf(std::string_view project_path);

// With the help compiler chmcmd on PATH: compiles the project from its own
// folder (the compiler resolves every name in the project against the current
// folder) and shows either the file it made or its error output. chmcmd's
// exit status says nothing (a missing contents file prints "Error:" and exits
// 0; a missing listed file leaves a 0-byte result), so success means no
// "Error" in its output and a result file that is not empty.
// Without chmcmd: opens the project with the desktop's default program.
void OpenHelpProject(std::string_view project_path, MainWindow& window);

}  // namespace tavex
