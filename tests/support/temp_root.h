// Points the system's temporary folder at a test's own folder for the object's
// lifetime (TMPDIR on POSIX; TMP and TEMP on Windows, which GetTempPathW reads
// in that order), so a test can see the scratch folders a run makes there and
// check that none is left behind.
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
  using Text = std::filesystem::path::string_type;
  std::filesystem::path root_;
  // Each variable's value before, in the order of the system's list.
  std::vector<std::optional<Text>> previous_;
};

}  // namespace tavex::test
