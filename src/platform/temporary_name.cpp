#include "platform/temporary_name.h"

#include <algorithm>

namespace tavex {
namespace {

constexpr std::string_view kMark = ".mytavex-tmp-";

bool AllDigits(std::string_view text) {
  return !text.empty() && text.size() <= 10 &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

std::string TemporaryName(std::string_view name, unsigned long process, unsigned counter) {
  std::string temp = ".";
  temp.append(name).append(kMark).append(std::to_string(process)).append("-");
  return temp.append(std::to_string(counter));
}

std::optional<unsigned long> TemporaryProcess(std::string_view entry, std::string_view name) {
  if (entry.size() < name.size() + kMark.size() + 1 || entry[0] != '.' ||
      entry.substr(1, name.size()) != name || entry.substr(1 + name.size(), kMark.size()) != kMark)
    return std::nullopt;
  entry.remove_prefix(1 + name.size() + kMark.size());
  const size_t dash = entry.find('-');
  if (dash == std::string_view::npos || !AllDigits(entry.substr(0, dash)) ||
      !AllDigits(entry.substr(dash + 1)))
    return std::nullopt;
  return std::stoul(std::string(entry.substr(0, dash)));
}

}  // namespace tavex
