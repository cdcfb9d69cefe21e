#include "build/find_files.h"

#include <algorithm>
#include <functional>

#include "app/main_window.h"
#include "platform/files.h"
#include "platform/text.h"

namespace tavex {
namespace {

std::string WithSeparator(std::string_view folder) {
  std::string text(folder);
  if (text.empty() || (text.back() != '\\' && text.back() != '/')) text += '\\';
  return text;
}

// The extension of a file name: from its last "." on, or empty.
std::string_view ExtensionOf(std::string_view name) {
  size_t dot = name.rfind('.');
  return dot == std::string_view::npos ? std::string_view() : name.substr(dot);
}

bool Takes(std::string_view name, std::string_view wanted) {
  if (wanted.empty()) return true;
  std::string_view extension = ExtensionOf(name);
  if (extension == ".html") extension = ".htm";
  return LowerCase(extension) == LowerCase(wanted);
}

// Calls take with the path of every file below folder whose extension fits,
// depth first in listing order.
void WalkFiles(const std::string& folder, std::string_view extension, MainWindow& window,
               const std::function<void(const std::string&)>& take) {
  for (const DirEntry& entry : ListFolder(folder)) {
    window.ProcessMessages();
    if (entry.is_folder) {
      WalkFiles(folder + entry.name + "\\", extension, window, take);
    } else if (Takes(entry.name, extension)) {
      take(folder + entry.name);
    }
  }
}

}  // namespace

void FindFiles(std::string_view folder, std::string_view extension, std::vector<std::string>& list,
               MainWindow& window) {
  WalkFiles(WithSeparator(folder), extension, window,
            [&](const std::string& path) { list.push_back(LowerCase(path)); });
  // std::string compares characters as unsigned codes, so Latin comes before
  // Cyrillic as in the code page.
  std::stable_sort(list.begin(), list.end());
}

void ClearFolder(std::string_view folder, MainWindow& window) {
  // The files are deleted by their names as listed, not lower-cased, so that
  // on a case-sensitive file system every one of them goes.
  WalkFiles(WithSeparator(folder), {}, window, [](const std::string& path) { RemoveFile(path); });
}

}  // namespace tavex
