#include "platform/failure.h"

namespace tavex {
namespace {

// Built by appending: GCC 12 warns falsely (-Wrestrict) about "literal" + string.
std::string Join(std::string_view head, std::string_view middle, std::string_view tail = {}) {
  std::string text;
  text.reserve(head.size() + middle.size() + tail.size());
  text.append(head).append(middle).append(tail);
  return text;
}

}  // namespace

Failure CannotOpenFile(std::string_view path) {
  return Failure(Join("Cannot open file ", path));
}

Failure CannotCreateFile(std::string_view path) {
  return Failure(Join("Cannot create file ", path));
}

Failure ListIndexOutOfBounds(long long index) {
  return Failure(Join("List index out of bounds (", std::to_string(index), ")"));
}

Failure NotValidInteger(std::string_view text) {
  return Failure(Join("'", text, "' is not a valid integer value"));
}

}  // namespace tavex
