#include <dlfcn.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

#include "platform/files.h"
#include "platform/program_files.h"
#include "platform/system_reason.h"
#include "platform/text.h"

namespace tavex {

// Linux names the running executable in /proc/self/exe.
std::string ProgramFolder() {
  char buffer[PATH_MAX];
  const ssize_t size = readlink("/proc/self/exe", buffer, sizeof buffer);
  if (size <= 0 || size == static_cast<ssize_t>(sizeof buffer)) return {};
  const std::string_view program(buffer, static_cast<size_t>(size));
  const size_t slash = program.rfind('/');
  if (slash == std::string_view::npos) return {};
  return Utf8To1251(program.substr(0, slash == 0 ? 1 : slash));
}

// The folder above the program's (its "..", written out so messages show a
// plain path), then MYTAVEX_PLUG_IN_SUBDIR: lib/mytavex, or with the prefix
// /usr lib/<multiarch triplet>/mytavex (cmake/PlugIn.cmake).
std::string PlugInFolder() {
  const std::string program = ProgramFolder();
  if (program.empty()) return {};
  const size_t slash = program.rfind('/');
  return program.substr(0, slash == std::string::npos ? 0 : slash) + "/" MYTAVEX_PLUG_IN_SUBDIR;
}

std::string PlugInFileName(std::string_view name) {
  return "lib" + std::string(name) + ".so";
}

void* LoadSharedLibrary(std::string_view path, std::string& reason) {
  const std::string native = NativePath(path).string();
  // dlopen says only "cannot open shared object file" for a file that is not
  // there; the system's own reason is plainer.
  if (access(native.c_str(), F_OK) != 0) {
    reason = SystemReason(errno);
    return nullptr;
  }
  void* library = dlopen(native.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library) return library;
  const char* error = dlerror();
  reason = error ? error : "dlopen failed";
  // dlerror starts with the path, which the caller names already.
  const std::string prefix = native + ": ";
  if (reason.compare(0, prefix.size(), prefix) == 0) reason.erase(0, prefix.size());
  return nullptr;
}

void* FindLibrarySymbol(void* library, const char* name) {
  return library ? dlsym(library, name) : nullptr;
}

}  // namespace tavex
