#include "clean/widen_tables.h"

#include <string_view>

namespace tavex {
namespace {

bool IsWidenedTag(const std::string& line) {
  return !line.empty() && line[0] == '<' &&
         (line.find("<table") != std::string::npos ||
          line.find("class=text") != std::string::npos ||
          line.find("class=\"text\"") != std::string::npos);
}

}  // namespace

void WidenTableTags(LineList& article) {
  constexpr std::string_view kWidth = "width=";
  for (std::string& line : article) {
    if (!IsWidenedTag(line)) continue;
    const size_t width = line.find(kWidth);
    if (width == std::string::npos) continue;
    const size_t value = width + kWidth.size();
    size_t end = line.find(' ', value);
    if (end == std::string::npos) end = line.find('>', value);
    if (end == std::string::npos) end = line.size();
    line.replace(value, end - value, "\"100%\"");
  }
}

}  // namespace tavex
