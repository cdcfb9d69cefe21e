#include <unistd.h>

#include "platform/console.h"

namespace tavex {

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

bool ErrorStreamIsTerminal() {
  return isatty(STDERR_FILENO) != 0;
}

}  // namespace tavex
