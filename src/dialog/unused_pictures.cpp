#include "dialog/unused_pictures.h"

#include <set>
#include <string_view>

#include "build/start_page.h"
#include "platform/files.h"
#include "platform/text.h"

namespace tavex {
namespace {

constexpr std::string_view kPictureFolder = "..\\images\\";  // lower-cased, "\" form

// The names after every "..\Images\" of a text, into names.
void CollectPictures(const std::string& text, std::set<std::string>& names) {
  std::string lowered = LowerCase(text);
  for (char& c : lowered)
    if (c == '/') c = '\\';
  for (size_t at = lowered.find(kPictureFolder); at != std::string::npos;
       at = lowered.find(kPictureFolder, at + 1)) {
    const size_t from = at + kPictureFolder.size();
    const size_t end = text.find_first_of("\"' >", from);
    const std::string name = text.substr(from, end == std::string::npos ? end : end - from);
    if (!name.empty() && name.find_first_of("\\/") == std::string::npos) names.insert(name);
  }
}

}  // namespace

std::vector<std::string> PicturesOfPage(const std::string& page_path) {
  std::set<std::string> names;
  if (const auto bytes = ReadFileBytes(page_path)) CollectPictures(*bytes, names);
  return {names.begin(), names.end()};
}

void RemoveUnusedPictures(const std::string& target_dir, const std::vector<std::string>& candidates,
                          const ArticleTable& table) {
  if (candidates.empty()) return;
  std::set<std::string> kept;
  for (const auto& rubric : table.Rubrics)
    for (const TArticleEntry& article : rubric)
      if (article.Included) {
        if (const auto bytes = ReadFileBytes(article.FilePath)) CollectPictures(*bytes, kept);
      }
  // The navigation page and the start page refer to the fixed pictures.
  for (const char* page : {"\\frame\\left.htm", "\\index.htm"})
    if (const auto bytes = ReadFileBytes(target_dir + page)) CollectPictures(*bytes, kept);
  for (const std::string& name : candidates) {
    if (kept.count(name) || EqualsIgnoreCase(name, kFixedPictures[0]) ||
        EqualsIgnoreCase(name, kFixedPictures[1]))
      continue;
    RemoveFile(target_dir + "\\images\\" + name);
  }
}

}  // namespace tavex
