#include "support/temp_root.h"

#include <stdlib.h>

#include <algorithm>

namespace fs = std::filesystem;

namespace tavex::test {

ScopedTempRoot::ScopedTempRoot(const fs::path& root) : root_(root) {
  fs::create_directories(root);
  if (const char* previous = getenv("TMPDIR")) previous_ = previous;
  setenv("TMPDIR", root.c_str(), 1);
}

ScopedTempRoot::~ScopedTempRoot() {
  if (previous_) {
    setenv("TMPDIR", previous_->c_str(), 1);
  } else {
    unsetenv("TMPDIR");
  }
}

std::vector<std::string> ScopedTempRoot::Entries() const {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(root_))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace tavex::test
