#include <algorithm>

#include "platform/shown_path.h"

namespace tavex {

// POSIX: "\" is only ever the program's separator in a path text, never part
// of a name the program writes (NativePath reads it the same way).
std::string ShownPath(std::string_view path) {
  std::string shown(path);
  std::replace(shown.begin(), shown.end(), '\\', '/');
  return shown;
}

}  // namespace tavex
