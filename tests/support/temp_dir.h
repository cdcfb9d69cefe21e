// Temporary folders for tests that work on real files.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <string_view>

namespace tavex::test {

// A fresh folder under the system's temporary folder, removed with everything
// in it when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // The folder's path as a path text with "/" separators (UTF-8 == ASCII here).
  std::string text() const { return path_.string(); }
  // A path text below the folder.
  std::string operator/(std::string_view relative) const;

 private:
  std::filesystem::path path_;
};

// Makes the folder current for the object's lifetime (rules and templates are
// looked up in the current folder).
class ScopedCurrentDir {
 public:
  explicit ScopedCurrentDir(const std::filesystem::path& dir);
  ~ScopedCurrentDir();

 private:
  std::filesystem::path previous_;
};

// Makes link a symbolic link to target (a folder link when target is a
// folder). False where the system cannot make one: wine, or Windows without
// the right to; a test that needs links skips then.
bool MakeLink(const std::filesystem::path& target, const std::filesystem::path& link);

// Writes bytes to a file, creating its folders.
void WriteFile(const std::filesystem::path& path, std::string_view bytes);
// A file's bytes; empty when it cannot be read.
std::string ReadFile(const std::filesystem::path& path);
// Every regular file below a folder: its path relative to the folder, with
// "/" separators, and its bytes.
std::map<std::string, std::string> FileTree(const std::filesystem::path& folder);

}  // namespace tavex::test
