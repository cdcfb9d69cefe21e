// A path text as the user's operating system writes paths, for messages.
//
// The program's own path texts mix separators: the editor types "\" in the
// folder fields and the build appends "\pub\16.htm" to them, while a POSIX
// folder field holds "/". A message shows one spelling, the system's own.
#pragma once

#include <string>
#include <string_view>

namespace tavex {

// The path with every separator written as the system writes it ("/" on
// POSIX). Nothing else changes: a relative path stays relative, letter case
// and the Windows-1251 text stay as they are.
std::string ShownPath(std::string_view path);

}  // namespace tavex
