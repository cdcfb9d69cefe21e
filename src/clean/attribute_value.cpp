#include "clean/attribute_value.h"

namespace tavex {

std::string_view AttributeValue(std::string_view line, std::string_view name) {
  const size_t at = line.find(name);
  if (at == std::string_view::npos) return {};
  const std::string_view rest = line.substr(at + name.size());
  if (!rest.empty() && (rest[0] == '"' || rest[0] == '\'')) {
    const size_t end = rest.find(rest[0], 1);
    return rest.substr(1, end == std::string_view::npos ? rest.size() - 1 : end - 1);
  }
  return rest.substr(0, rest.find_first_of(" />"));
}

}  // namespace tavex
