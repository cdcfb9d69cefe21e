#include <algorithm>

#include "platform/shown_path.h"

namespace tavex {

// Windows: "\" is the system's own separator; a "/" in a path text becomes one.
std::string ShownPath(std::string_view path) {
  std::string shown(path);
  std::replace(shown.begin(), shown.end(), '/', '\\');
  return shown;
}

}  // namespace tavex
