// The one exception type that ends a run.
//
// Every failure that stops a build (a file that cannot be opened, a malformed
// rule, a field that is not a number) is thrown as a Failure carrying the text
// the user sees, in Windows-1251. Only the front ends catch it: the window shows
// it in a message box, the command line prints it on standard error.
//
// A failure's text is its standard first line, as it always read, and, when
// the failure concerns a file, a second line saying where, always in one form:
//   <path>[:<line>][: <reason>]
// the path as the system writes it (ShownPath), the 1-based line of the file
// when one line is at fault, and the operating system's reason (strerror) when
// a system call failed. For example:
//   Cannot create file /out\pub\16.htm
//   /out/pub/16.htm: No space left on device
#pragma once

#include <cerrno>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tavex {

class Failure : public std::runtime_error {
 public:
  explicit Failure(const std::string& text) : std::runtime_error(text) {}

  // This failure with the place line added. A failure that names its place
  // already comes back unchanged: the innermost place is the most exact one
  // (a rule file that cannot be opened keeps its reason when the pass adds
  // the rule file again). line 0: no line; error 0: no reason.
  Failure At(std::string_view path, int line = 0, int error = 0) const;
  bool HasPlace() const { return has_place_; }

 private:
  bool has_place_ = false;
};

// The standard texts. Paths and field texts are inserted as they stand. The
// two file failures name the file on the second line with the system's reason
// for error (by default errno as it stands at the call, which the file
// routines leave set when they fail; 0 gives no reason).
Failure CannotOpenFile(std::string_view path, int error = errno);    // "Cannot open file %s"
Failure CannotCreateFile(std::string_view path, int error = errno);  // "Cannot create file %s"
Failure ListIndexOutOfBounds(long long index);   // "List index out of bounds (%d)"
Failure NotValidInteger(std::string_view text);  // "'%s' is not a valid integer value"

}  // namespace tavex
