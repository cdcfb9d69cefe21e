#include "dialog/article_preview.h"

#include <vector>

#include "platform/files.h"
#include "platform/text.h"

namespace tavex {
namespace {

constexpr size_t kLargestPage = 20u << 20;

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

// The parts of a path text between its separators, empty ones dropped.
std::vector<std::string_view> PartsOf(std::string_view path) {
  std::vector<std::string_view> parts;
  size_t i = 0;
  while (i < path.size()) {
    while (i < path.size() && IsSeparator(path[i])) ++i;
    const size_t start = i;
    while (i < path.size() && !IsSeparator(path[i])) ++i;
    if (i > start) parts.push_back(path.substr(start, i - start));
  }
  return parts;
}

std::string Joined(std::string_view root, const std::vector<std::string>& parts) {
  std::string path(root);
  for (const std::string& part : parts) path.append("\\").append(part);
  return path;
}

}  // namespace

std::optional<std::string> PreviewPage(std::string_view page_path) {
  return ReadFileBytes(page_path, kLargestPage);
}

std::string PreviewPicturePath(std::string_view page_path, std::string_view reference) {
  // An address with a scheme ("http:", "file:") or a drive is nothing of the
  // issue's, nor is a path from the root.
  if (reference.empty() || IsSeparator(reference[0]) ||
      reference.find(':') != std::string_view::npos)
    return {};
  const size_t slash = page_path.find_last_of("\\/");
  if (slash == std::string_view::npos) return {};
  const std::string_view page_folder = page_path.substr(0, slash);
  const size_t up = page_folder.find_last_of("\\/");
  if (up == std::string_view::npos) return {};
  const std::string_view issue_folder = page_folder.substr(0, up);
  // The parts below the issue folder, starting in the page's folder.
  std::vector<std::string> parts = {std::string(page_folder.substr(up + 1))};
  for (std::string_view part : PartsOf(reference)) {
    if (part == ".") continue;
    if (part == "..") {
      if (parts.empty()) return {};  // out of the issue folder
      parts.pop_back();
      continue;
    }
    parts.emplace_back(part);
  }
  if (parts.empty()) return {};
  std::string path = Joined(issue_folder, parts);
  if (FileExists(path)) return path;
  // "Images" as the pages write it, "images" as the build makes it.
  if (parts.size() > 1 && EqualsIgnoreCase(parts[0], "images")) {
    parts[0] = "images";
    path = Joined(issue_folder, parts);
    if (FileExists(path)) return path;
  }
  return {};
}

}  // namespace tavex
