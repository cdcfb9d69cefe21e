// Expected paths and failure messages on every system. Tests write them once,
// in POSIX spelling.
#pragma once

#include <string>
#include <vector>

namespace tavex::test {

// Every "/" and "\" as the system's separator ("/" on POSIX, "\" on Windows),
// as messages and listings show paths.
std::string InSystemSeparators(std::string text);
std::vector<std::string> InSystemSeparators(std::vector<std::string> lines);

// A failure's message as this system shows it: the first line (the message
// with the path as the program wrote it) as it stands, the lines after it (the
// place) InSystemSeparators.
std::string ShownPlace(std::string message);

}  // namespace tavex::test
