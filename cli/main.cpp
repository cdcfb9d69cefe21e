// mytavex-cli: the command-line front end over the same core as the window.
#include <unistd.h>

#include <clocale>
#include <iostream>

#include "cli/cli_run.h"

int main(int argc, char** argv) {
  // The issue date is written in the user's short date format.
  std::setlocale(LC_TIME, "");
  std::vector<std::string> args(argv + 1, argv + argc);
  return tavex::cli::RunCli(args, std::cout, std::cerr, isatty(STDERR_FILENO) != 0);
}
