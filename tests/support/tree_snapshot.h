// Everything below a folder, to compare before and after a run: a test that
// promises "nothing outside the issue tree changed" checks it byte for byte.
#pragma once

#include <filesystem>
#include <map>
#include <string>

namespace tavex::test {

// Each entry below root (root itself excluded), by its path relative to root
// in the generic form: a file's bytes, "folder" for a folder, "link to "
// and the target for a symbolic link (never followed).
using TreeSnapshot = std::map<std::string, std::string>;
TreeSnapshot SnapshotTree(const std::filesystem::path& root);

// The entries of before that after lacks or holds otherwise, one a line
// ("changed: x", "gone: x"), for a failure message; empty when none.
std::string LostOrChanged(const TreeSnapshot& before, const TreeSnapshot& after);

}  // namespace tavex::test
