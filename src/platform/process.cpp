#include "platform/process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "platform/temporary_name.h"

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

namespace {

// The child's side after fork(): input from /dev/null, output to out_fd, then
// the program. Only async-signal-safe calls: the parent may have threads.
[[noreturn]] void ExecChild(char* const* args, const std::string& working_folder, int out_fd) {
  int null_fd = open("/dev/null", O_RDONLY);
  if (null_fd >= 0) dup2(null_fd, 0);
  dup2(out_fd, 1);
  dup2(out_fd, 2);
  if (out_fd > 2) close(out_fd);
  if (!working_folder.empty() && chdir(working_folder.c_str()) != 0) _exit(126);
  execvp(args[0], args);
  _exit(127);
}

void SleepMilliseconds(int ms) {
  timespec pause{ms / 1000, (ms % 1000) * 1000000L};
  while (nanosleep(&pause, &pause) != 0 && errno == EINTR) {
  }
}

// Reaps the child: waits at most grace_ms for it, then kills it.
void EndChild(pid_t child, int grace_ms) {
  kill(child, SIGTERM);
  int status = 0;
  for (int waited = 0; waited < grace_ms; waited += 10) {
    if (waitpid(child, &status, WNOHANG) == child) return;
    SleepMilliseconds(10);
  }
  kill(child, SIGKILL);
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
}

void FillStatus(ProgramResult& result, int status, bool printed_something) {
  const bool not_run = WIFEXITED(status) && WEXITSTATUS(status) >= 126 && !printed_something;
  result.started = !not_run;
  result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

ProgramResult RunProgramLogged(const std::vector<std::string>& argv,
                               const std::string& working_folder, const std::string& log_path,
                               const std::function<void()>& while_waiting, int poll_ms) {
  ProgramResult result;
  if (argv.empty()) return result;
  // A name no other process uses, in the file layer's form for temporaries.
  const size_t slash = log_path.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "" : log_path.substr(0, slash + 1);
  const std::string temp_log = folder + TemporaryName(log_path.substr(folder.size()),
                                                      static_cast<unsigned long>(getpid()), 0);
  const int log_fd = open(temp_log.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (log_fd < 0) return result;

  std::vector<char*> args;
  for (const auto& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  const pid_t child = fork();
  if (child == 0) ExecChild(args.data(), working_folder, log_fd);
  close(log_fd);
  auto keep_log = [&] { std::rename(temp_log.c_str(), log_path.c_str()); };
  if (child < 0) {
    unlink(temp_log.c_str());
    return result;
  }

  int status = 0;
  while (true) {
    const pid_t done = waitpid(child, &status, WNOHANG);
    if (done == child) break;
    if (done < 0 && errno != EINTR) break;
    try {
      if (while_waiting) while_waiting();
    } catch (...) {
      EndChild(child, 1000);
      keep_log();
      throw;
    }
    SleepMilliseconds(poll_ms);
  }
  std::error_code ec;
  const bool printed = std::filesystem::file_size(temp_log, ec) > 0 && !ec;
  keep_log();
  FillStatus(result, status, printed);
  return result;
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
    close(pipe_fds[0]);
    ExecChild(args.data(), working_folder, pipe_fds[1]);
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
  FillStatus(result, status, !result.output.empty());
  return result;
}

}  // namespace tavex
