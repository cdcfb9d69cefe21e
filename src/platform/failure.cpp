#include "platform/failure.h"

#include "platform/shown_path.h"
#include "platform/system_reason.h"

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

Failure Failure::At(std::string_view path, int line, int error) const {
  if (has_place_) return *this;
  std::string text = what();
  text += '\n';
  text += ShownPath(path);
  if (line > 0) text.append(":").append(std::to_string(line));
  if (error != 0) text.append(": ").append(SystemReason(error));
  Failure placed(text);
  placed.has_place_ = true;
  return placed;
}

Failure CannotOpenFile(std::string_view path, int error) {
  return Failure(Join("Cannot open file ", path)).At(path, 0, error);
}

Failure CannotCreateFile(std::string_view path, int error) {
  return Failure(Join("Cannot create file ", path)).At(path, 0, error);
}

Failure ListIndexOutOfBounds(long long index) {
  return Failure(Join("List index out of bounds (", std::to_string(index), ")"));
}

Failure NotValidInteger(std::string_view text) {
  return Failure(Join("'", text, "' is not a valid integer value"));
}

}  // namespace tavex
