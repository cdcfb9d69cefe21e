// mytavex-cli: the command-line front end over the same core as the window.
#include <clocale>
#include <iostream>

#include "cli/cli_run.h"
#include "platform/console.h"

int main(int argc, char** argv) {
  // The issue date is written in the user's short date format.
  std::setlocale(LC_TIME, "");
  return tavex::cli::RunCli(tavex::ProgramArguments(argc, argv), std::cout, std::cerr,
                            tavex::ErrorStreamIsTerminal());
}
