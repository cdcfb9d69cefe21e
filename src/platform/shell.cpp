#include "platform/shell.h"

#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "platform/files.h"

namespace tavex {

void ShellOpen(std::string_view path) {
  const std::string native = NativePath(path).string();
  // Fork twice so the opener is adopted by init and never becomes a zombie of ours.
  pid_t child = fork();
  if (child < 0) return;
  if (child == 0) {
    if (fork() == 0) {
      setsid();
      execlp("xdg-open", "xdg-open", native.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
}

}  // namespace tavex
