#include "clean/line_list.h"

#include <cerrno>

#include "platform/failure.h"
#include "platform/files.h"

namespace tavex {

LineList SplitIntoLines(std::string_view text) {
  text = text.substr(0, text.find('\0'));
  LineList lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.emplace_back(text.substr(start));
      break;
    }
    lines.emplace_back(text.substr(start, end - start));
    start = end + 1;
    if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
  }
  return lines;
}

std::string JoinLines(const LineList& lines) {
  size_t size = 0;
  for (const auto& line : lines) size += line.size() + 2;
  std::string text;
  text.reserve(size);
  for (const auto& line : lines) {
    text += line;
    text += "\r\n";
  }
  return text;
}

// errno is cleared first, so a failure that sets no reason shows none
// rather than one left over from an earlier call.
LineList LoadLines(std::string_view path) {
  errno = 0;
  auto bytes = ReadFileBytes(path);
  if (!bytes) throw CannotOpenFile(path);
  return SplitIntoLines(*bytes);
}

void SaveLines(std::string_view path, const LineList& lines) {
  errno = 0;
  if (!WriteFileWhole(path, JoinLines(lines))) throw CannotCreateFile(path);
}

}  // namespace tavex
