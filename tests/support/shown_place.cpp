#include "support/shown_place.h"

#include <algorithm>

namespace tavex::test {
namespace {

#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

void Convert(std::string::iterator begin, std::string::iterator end) {
  std::replace_if(
      begin, end, [](char c) { return c == '/' || c == '\\'; }, kSeparator);
}

}  // namespace

std::string InSystemSeparators(std::string text) {
  Convert(text.begin(), text.end());
  return text;
}

std::vector<std::string> InSystemSeparators(std::vector<std::string> lines) {
  for (std::string& line : lines) Convert(line.begin(), line.end());
  return lines;
}

std::string ShownPlace(std::string message) {
  const size_t first_line_end = message.find('\n');
  if (first_line_end != std::string::npos) Convert(message.begin() + first_line_end, message.end());
  return message;
}

}  // namespace tavex::test
