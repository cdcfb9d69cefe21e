// The parts of the file layer that need no operating system of their own:
// names, walks over folder trees and containment, built on the calls that
// files_posix.cpp (or its Windows counterpart) implements.
#include "platform/files.h"

#include <set>

namespace tavex {
namespace {

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

void WalkFolder(const std::string& folder, const std::function<void()>& before_entry,
                const std::function<void(const std::string&, const DirEntry&)>& on_file,
                bool follow_links, std::set<std::string>& walked) {
  // Only a walk that follows links can meet a folder twice; without links the
  // tree is a tree and needs no record of where it has been.
  if (follow_links && !walked.insert(RealPath(folder)).second) return;
  std::string prefix = folder;
  if (prefix.empty() || !IsSeparator(prefix.back())) prefix += '\\';
  for (const DirEntry& entry : ListFolder(folder)) {
    if (before_entry) before_entry();
    const std::string path = prefix + entry.name;
    if (entry.is_folder && (follow_links || !entry.is_link)) {
      WalkFolder(path, before_entry, on_file, follow_links, walked);
    } else {
      on_file(path, entry);
    }
  }
}

}  // namespace

std::string_view ExtensionOf(std::string_view name) {
  const size_t dot = name.rfind('.');
  return dot == std::string_view::npos ? std::string_view() : name.substr(dot);
}

void WalkEntries(std::string_view folder, const std::function<void()>& before_entry,
                 const std::function<void(const std::string& path, const DirEntry& entry)>& on_file,
                 bool follow_links) {
  std::set<std::string> walked;
  WalkFolder(std::string(folder), before_entry, on_file, follow_links, walked);
}

void WalkFiles(std::string_view folder, const std::function<void()>& before_entry,
               const std::function<void(const std::string& path, std::string_view name)>& on_file) {
  WalkEntries(
      folder, before_entry,
      [&](const std::string& path, const DirEntry& entry) { on_file(path, entry.name); }, true);
}

bool IsWithinFolder(std::string_view path, std::string_view folder) {
  const std::string p = RealPath(path);
  std::string f = RealPath(folder);
  if (p.empty() || f.empty()) return false;
  while (f.size() > 1 && IsSeparator(f.back())) f.pop_back();
  if (p.compare(0, f.size(), f) != 0) return false;
  return p.size() == f.size() || IsSeparator(p[f.size()]) || IsSeparator(f.back());
}

}  // namespace tavex
