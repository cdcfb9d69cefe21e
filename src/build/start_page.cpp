#include "build/start_page.h"

#include <algorithm>
#include <string>

#include "app/main_window.h"
#include "clean/line_helpers.h"
#include "platform/files.h"

namespace tavex {

void CopyIssuePictures(const MainWindow& window) {
  const std::string images = window.FieldText(Field::TargetDir) + "\\images\\";
  for (const char* picture : kFixedPictures) CopyFileNoReplace(picture, images + picture);
}

void WriteStartPage(const MainWindow& window) {
  const std::string target = window.FieldText(Field::TargetDir);
  LineList lines = LoadLines(kStartTemplate);
  if (window.IsChecked(Switch::LinkMainPage)) {
    for (std::string& line : lines) {
      const size_t at = line.find(kCommonMainLink);
      if (at == std::string::npos) continue;
      CopyFileNoReplace(CurrentFolder() + "\\" + kMainPage, target + "\\frame\\" + kMainPage);
      RemoveAllOccurrences(kCommonMainLink, line);
      line.insert(std::min(at, line.size()), kOwnMainLink);
      break;
    }
  }
  // Written whole and moved over the old page, so a failed write keeps it.
  SaveLines(target + "\\index.htm", lines);
}

}  // namespace tavex
