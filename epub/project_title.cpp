#include "epub/project_title.h"

#include "platform/files.h"
#include "platform/text.h"

namespace tavex {
namespace {

std::string_view TrimBlanks(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

std::string ProjectTitle(std::string_view project_path) {
  const std::string fallback = "Tavex";
  const auto bytes = ReadFileBytes(project_path);
  if (!bytes) return fallback;
  const std::string_view text = *bytes;
  bool in_options = false;
  for (size_t begin = 0; begin < text.size();) {
    size_t end = text.find('\n', begin);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = TrimBlanks(text.substr(begin, end - begin));
    begin = end + 1;
    if (!line.empty() && line.front() == '[') {
      in_options = LowerCase(line) == "[options]";
      continue;
    }
    const size_t equals = line.find('=');
    if (!in_options || equals == std::string_view::npos) continue;
    if (LowerCase(TrimBlanks(line.substr(0, equals))) != "title") continue;
    const std::string_view value = TrimBlanks(line.substr(equals + 1));
    return value.empty() ? fallback : Cp1251ToUtf8(value);
  }
  return fallback;
}

}  // namespace tavex
