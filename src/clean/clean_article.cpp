// PLACEHOLDER until the cleaner lands: copies the page and finds no title.
#include "clean/clean_article.h"

#include "clean/line_list.h"

namespace tavex {

std::string CleanArticle(std::string_view source_path, std::string_view target_path, MainWindow&,
                         std::string_view) {
  SaveLines(target_path, LoadLines(source_path));
  return "\xcd\xe5\xef\xee\xed\xff\xf2\xed\xfb\xe9 \xe7\xe0\xe3\xee\xeb\xee\xe2\xee\xea";
}

void ResetPictureRegister() {}

}  // namespace tavex
