// What a command-line front end needs from its console: the arguments as
// UTF-8 and whether standard error is a terminal.
#pragma once

#include <string>
#include <vector>

namespace tavex {

// The arguments after the program name, in UTF-8: on POSIX argv as given; on
// Windows the wide command line (argv there is in the ANSI code page and has
// lost what it lacks). Also makes the console take UTF-8 output on Windows.
std::vector<std::string> ProgramArguments(int argc, char** argv);

// True when standard error goes to a terminal (a progress bar can be drawn).
bool ErrorStreamIsTerminal();

}  // namespace tavex
