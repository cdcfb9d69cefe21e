// The shell hand-off on Windows: ShellExecuteW with no verb opens the document
// with its default program (or the "open" verb when none is registered), in a
// normal window; the call returns once the program is started.
#include <windows.h>
// shellapi.h needs windows.h before it.
#include <shellapi.h>

#include "platform/files.h"
#include "platform/shell.h"

namespace tavex {

void ShellOpen(std::string_view path) {
  const std::wstring native = NativePath(path).wstring();
  ShellExecuteW(nullptr, nullptr, native.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace tavex
