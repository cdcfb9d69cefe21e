// Points the system's temporary folder (TMPDIR) at a test's own folder for the
// object's lifetime, so a test can see the scratch folders a run makes there
// and check that none is left behind.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tavex::test {

class ScopedTempRoot {
 public:
  explicit ScopedTempRoot(const std::filesystem::path& root);
  ~ScopedTempRoot();
  ScopedTempRoot(const ScopedTempRoot&) = delete;
  ScopedTempRoot& operator=(const ScopedTempRoot&) = delete;

  // The names of the entries in the root now, sorted.
  std::vector<std::string> Entries() const;

 private:
  std::filesystem::path root_;
  std::optional<std::string> previous_;
};

}  // namespace tavex::test
