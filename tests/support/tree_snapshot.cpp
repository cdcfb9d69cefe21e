#include "support/tree_snapshot.h"

#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace tavex::test {

TreeSnapshot SnapshotTree(const fs::path& root) {
  TreeSnapshot snapshot;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::end(it);
       it.increment(ec)) {
    const fs::path& path = it->path();
    const std::string key = path.lexically_relative(root).generic_string();
    const fs::file_status own = fs::symlink_status(path, ec);
    if (fs::is_symlink(own)) {
      snapshot[key] = "link to " + fs::read_symlink(path, ec).string();
    } else if (fs::is_directory(own)) {
      snapshot[key] = "folder";
    } else if (fs::is_regular_file(own)) {
      snapshot[key] = ReadFile(path);
    } else {
      snapshot[key] = "other";
    }
  }
  return snapshot;
}

std::string LostOrChanged(const TreeSnapshot& before, const TreeSnapshot& after) {
  std::string report;
  for (const auto& [key, what] : before) {
    auto it = after.find(key);
    if (it == after.end()) {
      report += "gone: " + key + "\n";
    } else if (it->second != what) {
      report += "changed: " + key + "\n";
    }
  }
  return report;
}

}  // namespace tavex::test
