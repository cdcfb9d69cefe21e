// Running an outside program and collecting what it prints.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavex {

struct ProgramResult {
  bool started = false;  // false when the program could not be run at all
  int exit_code = -1;    // its exit status; -1 when it was killed by a signal
  std::string output;    // standard output and standard error, interleaved as written
};

// The full path of a program found on PATH, or nullopt.
std::optional<std::string> FindProgram(std::string_view name);

// Runs argv[0] (looked up on PATH) with the given arguments in working_folder
// (a native path; empty: the current folder), with no input, and waits for it.
// The arguments are native texts, passed as they stand.
ProgramResult RunProgram(const std::vector<std::string>& argv, const std::string& working_folder);

// Like RunProgram, but what the program prints goes to the file log_path (a
// native path) instead of memory, so a program that prints a great deal costs
// no memory; ProgramResult::output stays empty. The log is written under a
// name of its own beside log_path and moved over it when the program ends, so
// an earlier log stays whole until then. While the program runs, while_waiting
// is called about every poll_ms milliseconds (a window lets its messages run
// there). When while_waiting throws, the program is ended (asked to stop, then
// killed after a grace of at most a second), its log so far is kept, and the
// exception passes on to the caller.
ProgramResult RunProgramLogged(const std::vector<std::string>& argv,
                               const std::string& working_folder, const std::string& log_path,
                               const std::function<void()>& while_waiting, int poll_ms = 20);

}  // namespace tavex
