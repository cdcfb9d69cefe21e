#include "platform/failure.h"

namespace tavex {

Failure CannotOpenFile(std::string_view path) {
  return Failure("Cannot open file " + std::string(path));
}

Failure CannotCreateFile(std::string_view path) {
  return Failure("Cannot create file " + std::string(path));
}

Failure ListIndexOutOfBounds(long long index) {
  return Failure("List index out of bounds (" + std::to_string(index) + ")");
}

Failure NotValidInteger(std::string_view text) {
  return Failure("'" + std::string(text) + "' is not a valid integer value");
}

}  // namespace tavex
