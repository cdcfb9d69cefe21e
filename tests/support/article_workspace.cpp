#include "support/article_workspace.h"

#include "clean/clean_article.h"

namespace fs = std::filesystem;

namespace tavex::test {

ArticleWorkspace::ArticleWorkspace() : cwd_(work_.path()) {
  fs::create_directories(work_.path() / "HtmClear");
  fs::create_directories(work_.path() / "out" / "pub");
  fs::create_directories(work_.path() / "out" / "images");
  window_.SetFieldText(Field::TargetDir, work_ / "out");
  window_.SetChecked(Switch::RemoveAds, false);
  window_.SetChecked(Switch::ReplaceFragments, false);
  window_.SetChecked(Switch::InsertExtraInfo, false);
  ResetPictureRegister();
}

std::string ArticleWorkspace::WriteSource(std::string_view relative, std::string_view bytes) {
  // Through char8_t: a plain narrow name is not taken as UTF-8 on Windows.
  WriteFile(work_.path() / "src" / std::u8string(relative.begin(), relative.end()), bytes);
  return work_ / ("src/" + std::string(relative));
}

}  // namespace tavex::test
