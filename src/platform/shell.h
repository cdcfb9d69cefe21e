// Handing a document to the desktop.
#pragma once

#include <string_view>

namespace tavex {

// Opens the document with the desktop's default program (xdg-open on POSIX,
// ShellExecuteW with no verb in a normal window on Windows),
// detached: the call returns at once and its result is not examined.
void ShellOpen(std::string_view path);

}  // namespace tavex
