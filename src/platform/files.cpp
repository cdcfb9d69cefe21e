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
                const LinkFilter& enter_link,
                const std::function<void(const std::string&)>& on_folder,
                std::set<std::string>& walked) {
  // Only a walk that enters links can meet a folder twice; it records every
  // folder by its real location.
  if (enter_link && !walked.insert(RealPath(folder)).second) return;
  if (on_folder) on_folder(folder);
  std::string prefix = folder;
  if (prefix.empty() || !IsSeparator(prefix.back())) prefix += '\\';
  for (const DirEntry& entry : ListFolder(folder)) {
    if (before_entry) before_entry();
    const std::string path = prefix + entry.name;
    if (entry.is_folder && !entry.is_link) {
      WalkFolder(path, before_entry, on_file, enter_link, on_folder, walked);
    } else if (entry.is_folder && enter_link && enter_link(path, entry)) {
      WalkFolder(path, before_entry, on_file, enter_link, on_folder, walked);
    } else {
      on_file(path, entry);
    }
  }
}

}  // namespace

std::filesystem::path PathOfUtf8(std::string_view utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8OfPath(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

std::string_view ExtensionOf(std::string_view name) {
  const size_t dot = name.rfind('.');
  return dot == std::string_view::npos ? std::string_view() : name.substr(dot);
}

void WalkEntries(std::string_view folder, const std::function<void()>& before_entry,
                 const std::function<void(const std::string& path, const DirEntry& entry)>& on_file,
                 const LinkFilter& enter_link) {
  std::set<std::string> walked;
  WalkFolder(std::string(folder), before_entry, on_file, enter_link, {}, walked);
}

void WalkFiles(std::string_view folder, const std::function<void()>& before_entry,
               const std::function<void(const std::string& path, std::string_view name)>& on_file,
               const std::function<void(const std::string& folder)>& on_folder) {
  std::set<std::string> walked;
  WalkFolder(
      std::string(folder), before_entry,
      [&](const std::string& path, const DirEntry& entry) {
        if (!entry.is_folder) on_file(path, entry.name);
      },
      [](const std::string&, const DirEntry&) { return true; }, on_folder, walked);
}

std::string ParentText(std::string_view path) {
  while (path.size() > 1 && IsSeparator(path.back())) path.remove_suffix(1);
  const size_t last = path.find_last_of("\\/");
  if (last == std::string_view::npos) return {};
  size_t end = last;
  while (end > 0 && IsSeparator(path[end - 1])) --end;
  return std::string(path.substr(0, end == 0 ? 1 : end));
}

bool IsWithinFolder(std::string_view path, std::string_view folder) {
  return RealPathWithin(RealPath(path), RealPath(folder));
}

bool RealPathWithin(std::string_view real, std::string_view top) {
  if (real.empty() || top.empty()) return false;
  while (top.size() > 1 && top.back() == kRealPathSeparator) top.remove_suffix(1);
  if (real.substr(0, top.size()) != top) return false;
  return real.size() == top.size() || real[top.size()] == kRealPathSeparator ||
         top.back() == kRealPathSeparator;
}

}  // namespace tavex
