#include "platform/process.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

namespace tavex {

std::optional<std::string> FindProgram(std::string_view name) {
  const char* path = std::getenv("PATH");
  if (!path || name.empty()) return std::nullopt;
  std::string_view rest = path;
  while (true) {
    size_t colon = rest.find(':');
    std::string folder(rest.substr(0, colon));
    if (folder.empty()) folder = ".";
    std::string candidate = folder + "/" + std::string(name);
    if (access(candidate.c_str(), X_OK) == 0 && !std::filesystem::is_directory(candidate))
      return candidate;
    if (colon == std::string_view::npos) return std::nullopt;
    rest = rest.substr(colon + 1);
  }
}

ProgramResult RunProgram(const std::vector<std::string>& argv, const std::string& working_folder) {
  ProgramResult result;
  if (argv.empty()) return result;
  int pipe_fds[2];
  if (pipe(pipe_fds) != 0) return result;

  std::vector<char*> args;
  for (const auto& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);

  pid_t child = fork();
  if (child < 0) {
    close(pipe_fds[0]);
    close(pipe_fds[1]);
    return result;
  }
  if (child == 0) {
    // Only async-signal-safe calls from here on: the parent may have threads.
    int null_fd = open("/dev/null", O_RDONLY);
    if (null_fd >= 0) dup2(null_fd, 0);
    dup2(pipe_fds[1], 1);
    dup2(pipe_fds[1], 2);
    close(pipe_fds[0]);
    close(pipe_fds[1]);
    if (!working_folder.empty() && chdir(working_folder.c_str()) != 0) _exit(126);
    execvp(args[0], args.data());
    _exit(127);
  }

  close(pipe_fds[1]);
  char buffer[4096];
  while (true) {
    ssize_t n = read(pipe_fds[0], buffer, sizeof buffer);
    if (n > 0) {
      result.output.append(buffer, static_cast<size_t>(n));
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else {
      break;
    }
  }
  close(pipe_fds[0]);
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  const bool not_run = WIFEXITED(status) && WEXITSTATUS(status) >= 126 && result.output.empty();
  result.started = !not_run;
  result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

}  // namespace tavex
