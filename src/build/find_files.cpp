#include "build/find_files.h"

#include <algorithm>
#include <functional>

#include "app/main_window.h"
#include "clean/page_archive.h"
#include "platform/files.h"
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

}  // namespace

void FindFiles(std::string_view folder, std::string_view extension, std::vector<std::string>& list,
               MainWindow& window) {
  WalkFiles(
      folder, [&] { window.ProcessMessages(); },
      [&](const std::string& path, std::string_view name) {
        if (Takes(name, extension)) list.push_back(LowerCase(path));
      });
  // std::string compares characters as unsigned codes, so Latin comes before
  // Cyrillic as in the code page.
  std::stable_sort(list.begin(), list.end());
}

void ClearFolder(std::string_view folder, MainWindow& window) {
  // The files are deleted by their names as listed, not lower-cased, so that
  // on a case-sensitive file system every one of them goes.
  WalkFiles(
      folder, [&] { window.ProcessMessages(); },
      [](const std::string& path, std::string_view) { RemoveFile(path); });
}

}  // namespace tavex
