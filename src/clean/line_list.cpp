#include "clean/line_list.h"

#include <algorithm>
#include <cerrno>

#include "platform/failure.h"
#include "platform/files.h"

namespace tavex {

// find_first_of("\r\n") looks each byte up in the set, a call per byte;
// instead each of the two breaks keeps its own next place, found by memchr
// and searched again only once the split has passed it, so every byte is
// scanned at most once for each.
LineList SplitIntoLines(std::string_view text) {
  text = text.substr(0, text.find('\0'));
  LineList lines;
  size_t start = 0;
  size_t next_cr = text.find('\r');
  size_t next_lf = text.find('\n');
  while (start < text.size()) {
    if (next_cr < start) next_cr = text.find('\r', start);
    if (next_lf < start) next_lf = text.find('\n', start);
    const size_t end = std::min(next_cr, next_lf);
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
