#include <windows.h>

#include <cerrno>

#include "platform/files.h"
#include "platform/program_files.h"
#include "platform/system_reason.h"
#include "platform/wide_text_win.h"

namespace tavex {

std::string ProgramFolder() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD size =
        GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (size == 0) return {};
    if (size < buffer.size()) {
      buffer.resize(size);
      break;
    }
    buffer.resize(buffer.size() * 2);  // cut short: try again with more room
  }
  const size_t slash = buffer.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return {};
  return Cp1251OfWide(std::wstring_view(buffer).substr(0, slash));
}

// The system looks for a program's DLLs beside it first.
std::string PlugInFolder() {
  return ProgramFolder();
}

std::string PlugInFileName(std::string_view name) {
  return std::string(name) + ".dll";
}

void* LoadSharedLibrary(std::string_view path, std::string& reason) {
  // The plug-in's own folder is searched for the DLLs it needs in turn.
  HMODULE library =
      LoadLibraryExW(NativePath(path).wstring().c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (library) return reinterpret_cast<void*>(library);
  SetErrnoFromLastError();
  reason = SystemReason(errno);
  return nullptr;
}

void* FindLibrarySymbol(void* library, const char* name) {
  if (!library) return nullptr;
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

}  // namespace tavex
