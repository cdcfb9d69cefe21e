// The one exception type that ends a run.
//
// Every failure that stops a build (a file that cannot be opened, a malformed
// rule, a field that is not a number) is thrown as a Failure carrying the text
// the user sees, in Windows-1251. Only the front ends catch it: the window shows
// it in a message box, the command line prints it on standard error.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace tavex {

class Failure : public std::runtime_error {
 public:
  explicit Failure(const std::string& text) : std::runtime_error(text) {}
};

// The standard texts. Paths and field texts are inserted as they stand.
Failure CannotOpenFile(std::string_view path);    // "Cannot open file %s"
Failure CannotCreateFile(std::string_view path);  // "Cannot create file %s"
Failure ListIndexOutOfBounds(long long index);    // "List index out of bounds (%d)"
Failure NotValidInteger(std::string_view text);   // "'%s' is not a valid integer value"

}  // namespace tavex
