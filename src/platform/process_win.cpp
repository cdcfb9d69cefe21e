// Outside programs on Windows: CreateProcessW with one pipe (or the log file)
// taking standard output and standard error, standard input from NUL, no console window.
// Native texts are UTF-8 (Utf8OfPath); they go to the system as the same
// path's wide text, so a path handed over by the core reaches the program as
// it names the file.
#include <windows.h>

#include <filesystem>

#include "platform/files.h"
#include "platform/process.h"
#include "platform/temporary_name.h"

namespace tavex {
namespace {

// One argument quoted so that the C runtime's parser gives it back unchanged:
// backslashes are literal except before a quote, where they are doubled.
void AppendQuoted(std::wstring& line, const std::wstring& arg) {
  if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
    line += arg;
    return;
  }
  line += L'"';
  size_t backslashes = 0;
  for (wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    line.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    line += c;
  }
  line.append(backslashes * 2, L'\\');
  line += L'"';
}

std::wstring NativeWide(const std::string& text) {
  return PathOfUtf8(text).wstring();
}

std::wstring CommandLine(const std::vector<std::string>& argv) {
  std::wstring line;
  for (const std::string& arg : argv) {
    if (!line.empty()) line += L' ';
    AppendQuoted(line, NativeWide(arg));
  }
  return line;
}

}  // namespace

std::optional<std::string> FindProgram(std::string_view name) {
  if (name.empty()) return std::nullopt;
  const std::wstring wide = NativeWide(std::string(name));
  wchar_t found[MAX_PATH * 4];
  const DWORD n = SearchPathW(nullptr, wide.c_str(), L".exe", MAX_PATH * 4, found, nullptr);
  if (n == 0 || n >= MAX_PATH * 4) return std::nullopt;
  const DWORD attributes = GetFileAttributesW(found);
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
    return std::nullopt;
  return Utf8OfPath(std::filesystem::path(found));
}

namespace {

// Starts argv[0] (looked up on PATH) in working_folder with input from NUL and
// both outputs to out (an inheritable handle). False when it could not start.
bool StartProgram(const std::vector<std::string>& argv, const std::string& working_folder,
                  HANDLE out, PROCESS_INFORMATION& info) {
  if (argv.empty()) return false;
  const auto program = FindProgram(argv[0]);
  if (!program) return false;
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE null_in = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                               OPEN_EXISTING, 0, nullptr);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = null_in;
  startup.hStdOutput = out;
  startup.hStdError = out;
  std::wstring line = CommandLine(argv);
  const std::wstring application = NativeWide(*program);
  const std::wstring folder = NativeWide(working_folder);
  const BOOL started = CreateProcessW(application.c_str(), line.data(), nullptr, nullptr, TRUE,
                                      CREATE_NO_WINDOW | CREATE_UNICODE_ENVIRONMENT, nullptr,
                                      folder.empty() ? nullptr : folder.c_str(), &startup, &info);
  if (null_in != INVALID_HANDLE_VALUE) CloseHandle(null_in);
  if (!started) return false;
  CloseHandle(info.hThread);
  return true;
}

int ExitCodeOf(HANDLE process) {
  DWORD code = 0;
  GetExitCodeProcess(process, &code);
  return static_cast<int>(code);
}

}  // namespace

ProgramResult RunProgram(const std::vector<std::string>& argv, const std::string& working_folder) {
  ProgramResult result;
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE read_end = nullptr, write_end = nullptr;
  if (!CreatePipe(&read_end, &write_end, &inherit, 0)) return result;
  SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);
  PROCESS_INFORMATION info{};
  const bool started = StartProgram(argv, working_folder, write_end, info);
  // Only the child holds the write end now, so the read below ends with it.
  CloseHandle(write_end);
  if (!started) {
    CloseHandle(read_end);
    return result;
  }
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(read_end, buffer, sizeof buffer, &got, nullptr) && got > 0)
    result.output.append(buffer, got);
  CloseHandle(read_end);
  WaitForSingleObject(info.hProcess, INFINITE);
  result.started = true;
  result.exit_code = ExitCodeOf(info.hProcess);
  CloseHandle(info.hProcess);
  return result;
}

// Windows has no request to stop that a windowless console program must
// heed, so a program whose wait is given up is ended at once
// (TerminateProcess) and waited for, at most the second of grace, so that
// its log is closed before it is moved into place.
ProgramResult RunProgramLogged(const std::vector<std::string>& argv,
                               const std::string& working_folder, const std::string& log_path,
                               const std::function<void()>& while_waiting, int poll_ms) {
  ProgramResult result;
  if (argv.empty()) return result;
  // A name no other process uses, in the file layer's form for temporaries.
  const std::wstring log = NativeWide(log_path);
  const size_t slash = log.find_last_of(L"\\/");
  const std::wstring folder = slash == std::wstring::npos ? L"" : log.substr(0, slash + 1);
  const std::wstring temp_log =
      folder +
      WideOfUtf8(TemporaryName(Utf8OfWide(log.substr(folder.size())), GetCurrentProcessId(), 0));
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE log_file = CreateFileW(temp_log.c_str(), GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (log_file == INVALID_HANDLE_VALUE) return result;
  PROCESS_INFORMATION info{};
  const bool started = StartProgram(argv, working_folder, log_file, info);
  CloseHandle(log_file);
  auto keep_log = [&] {
    MoveFileExW(temp_log.c_str(), log.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  };
  // As on POSIX, a program that could not start leaves an empty log.
  if (!started) {
    keep_log();
    return result;
  }
  while (WaitForSingleObject(info.hProcess, static_cast<DWORD>(poll_ms)) == WAIT_TIMEOUT) {
    try {
      if (while_waiting) while_waiting();
    } catch (...) {
      TerminateProcess(info.hProcess, 1);
      WaitForSingleObject(info.hProcess, 1000);
      CloseHandle(info.hProcess);
      keep_log();
      throw;
    }
  }
  result.started = true;
  result.exit_code = ExitCodeOf(info.hProcess);
  CloseHandle(info.hProcess);
  keep_log();
  return result;
}

}  // namespace tavex
