#include "build/find_files.h"

#include <algorithm>
#include <functional>
#include <utility>

#include "app/main_window.h"
#include "clean/page_archive.h"
#include "platform/files.h"
#include "platform/shown_path.h"
#include "platform/text.h"

namespace tavex {
namespace {

// Whether a file name has the wanted extension (letter case ignored; empty:
// any). ".html" in lower case counts as ".htm", any other spelling does not.
// Pages saved as one archive (".mht", ".mhtml", any case) are articles too.
bool Takes(std::string_view name, std::string_view wanted) {
  if (wanted.empty()) return true;
  if (EqualsIgnoreCase(wanted, ".htm") && IsPageArchiveName(name)) return true;
  std::string_view extension = ExtensionOf(name);
  if (extension == ".html") extension = ".htm";
  return LowerCase(extension) == LowerCase(wanted);
}

// "Статья %s ведёт за пределы исходной папки и пропущена"
constexpr const char* kArticleOutside =
    "\xd1\xf2\xe0\xf2\xfc\xff %s \xe2\xe5\xe4\xb8\xf2 \xe7\xe0 \xef\xf0\xe5\xe4\xe5\xeb\xfb "
    "\xe8\xf1\xf5\xee\xe4\xed\xee\xe9 \xef\xe0\xef\xea\xe8 \xe8 "
    "\xef\xf0\xee\xef\xf3\xf9\xe5\xed\xe0";
// "Статья %s не обычный файл и пропущена"
constexpr const char* kArticleNotFile =
    "\xd1\xf2\xe0\xf2\xfc\xff %s \xed\xe5 \xee\xe1\xfb\xf7\xed\xfb\xe9 \xf4\xe0\xe9\xeb \xe8 "
    "\xef\xf0\xee\xef\xf3\xf9\xe5\xed\xe0";

}  // namespace

void FindFiles(std::string_view folder, std::string_view extension, std::vector<std::string>& list,
               MainWindow& window, std::string_view root) {
  // Only links can lead out of the tree: the real location is asked for them
  // alone, never for the plain files and folders that make up most of it.
  const auto leads_outside = [&](const std::string& path) {
    return !root.empty() && !IsWithinFolder(path, root);
  };
  std::vector<std::pair<std::string, std::string>> found;  // (sort key, path as listed)
  WalkEntries(
      folder, [&] { window.ProcessMessages(); },
      [&](const std::string& path, const DirEntry& entry) {
        if (entry.is_folder) {  // a link the walk did not enter
          window.ShowWarning(FillIn(kArticleOutside, {ShownPath(path)}));
          return;
        }
        if (!Takes(entry.name, extension)) return;
        if (!root.empty() && !entry.is_regular) {
          window.ShowWarning(FillIn(kArticleNotFile, {ShownPath(path)}));
        } else if (entry.is_link && leads_outside(path)) {
          window.ShowWarning(FillIn(kArticleOutside, {ShownPath(path)}));
        } else {
          found.emplace_back(LowerCase(path), path);
        }
      },
      [&](const std::string& path, const DirEntry&) { return !leads_outside(path); });
  // std::string compares characters as unsigned codes, so Latin comes before
  // Cyrillic as in the code page.
  std::stable_sort(found.begin(), found.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  list.reserve(list.size() + found.size());
  for (auto& [key, path] : found) list.push_back(std::move(path));
}

}  // namespace tavex
