// Running an outside program and collecting what it prints.
#pragma once

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

}  // namespace tavex
