#include <io.h>
#include <windows.h>
// shellapi.h needs windows.h before it.
#include <shellapi.h>

#include <cstdio>

#include "platform/console.h"
#include "platform/wide_text_win.h"

namespace tavex {

std::vector<std::string> ProgramArguments(int, char**) {
  SetConsoleOutputCP(CP_UTF8);
  std::vector<std::string> args;
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!wide) return args;
  for (int i = 1; i < count; ++i) args.push_back(Utf8OfWide(wide[i]));
  LocalFree(wide);
  return args;
}

bool ErrorStreamIsTerminal() {
  return _isatty(_fileno(stderr)) != 0;
}

}  // namespace tavex
