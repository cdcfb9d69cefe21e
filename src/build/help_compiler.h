// Handing the help project over at the end of a run.
#pragma once

#include <string>
#include <string_view>

namespace tavex {

class MainWindow;

// Where the help compiler writes its result for a project: the project's
// "Compiled file=" option, relative to the project's folder, or the project's
// name with ".chm". A native path in UTF-8 (Utf8OfPath).
std::string CompiledFileOf(std::string_view project_path);

// The compiler's log for a project: the project's name with ".log", beside it
// ("tavex.hhp" -> "tavex.log"). A native path in UTF-8.
std::string CompilerLogOf(std::string_view project_path);

// Whether a compiled help file was made by this run and holds the issue:
// present, not empty, written after `before` (when it existed before the run),
// and naming start_page inside (the page as the contents name it, relative to
// the project's folder, "\" or "/"; letter case ignored; empty: not checked).
// The help file's directory keeps each page's name as plain text, so a search
// of its bytes finds it. Reads the file once.
enum class HelpFileVerdict { Made, Missing, Empty, Old, WithoutStartPage };
HelpFileVerdict JudgeHelpFile(const std::string& help_file, bool existed_before,
                              long long before_stamp, std::string_view start_page);

// The line of the compiler's log (a native path in UTF-8) that says why it
// failed: the first that speaks of an error and is not one of chmcmd's
// "Error: Html parsing" lines, else the last line that is not blank; spaces
// squeezed, cut to 300 characters. Empty for a missing or blank log.
std::string CompilerCause(std::string_view log_path);

// With a help compiler on PATH (chmcmd, or on Windows hhc.exe): compiles the project from its own
// folder (the compiler resolves every name in the project against the current
// folder) while the window's messages run and a status text says so, its
// output going to the log (CompilerLogOf), and judges the help file
// (JudgeHelpFile). A file made is a message of two short lines: made, and
// where the log is. A file not made is a warning: the verdict and its reason,
// the compiler's own cause (CompilerCause), and where the log is. The
// compiler's exit status and its "Error" lines say nothing about the file
// (real pages make it print "Error: Html parsing" for every page, while the
// file is made; a missing project exits 0), so only the file is judged.
// Closing the window during the wait (ProcessMessages throws Cancelled) ends
// the compiler and passes Cancelled on.
// Without either: a warning that no compiler was found and the help file was
// not made, then the project goes to the desktop's default program.
// start_page: the start page as the contents name it (the resolved
// IndexPagePath); empty when not known. Answers whether the help file was made.
bool OpenHelpProject(std::string_view project_path, std::string_view start_page,
                     MainWindow& window);

}  // namespace tavex
