// mytavex-cli's work, apart from main() so that tests can run it in-process.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace tavex::cli {

// Exit statuses: scripts rely on them.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;  // the run failed; its text is on standard error
inline constexpr int kExitUsage = 2;    // a bad command line or a failed number check

// Runs the command given by args (the arguments after the program name).
// Messages and titles go out in UTF-8; progress goes to err (a live bar when
// terminal is true, one line per article otherwise, nothing with --quiet).
// Changes the process's current folder to --workdir.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           bool terminal);

}  // namespace tavex::cli
