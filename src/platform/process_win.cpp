// Outside programs on Windows: CreateProcessW with one pipe taking standard
// output and standard error, standard input from NUL, no console window.
// Native texts are std::filesystem's narrow paths (path::string()); they go
// to the system as the same path's wide text, so a path handed over by the
// core reaches the program as it names the file.
#include <windows.h>

#include <filesystem>

#include "platform/process.h"

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
  return std::filesystem::path(text).wstring();
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
  return std::filesystem::path(found).string();
}

ProgramResult RunProgram(const std::vector<std::string>& argv, const std::string& working_folder) {
  ProgramResult result;
  if (argv.empty()) return result;
  const auto program = FindProgram(argv[0]);
  if (!program) return result;

  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE read_end = nullptr, write_end = nullptr;
  if (!CreatePipe(&read_end, &write_end, &inherit, 0)) return result;
  SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);
  HANDLE null_in = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                               OPEN_EXISTING, 0, nullptr);

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = null_in;
  startup.hStdOutput = write_end;
  startup.hStdError = write_end;
  PROCESS_INFORMATION info{};
  std::wstring line = CommandLine(argv);
  const std::wstring application = NativeWide(*program);
  const std::wstring folder = NativeWide(working_folder);
  const BOOL started = CreateProcessW(application.c_str(), line.data(), nullptr, nullptr, TRUE,
                                      CREATE_NO_WINDOW | CREATE_UNICODE_ENVIRONMENT, nullptr,
                                      folder.empty() ? nullptr : folder.c_str(), &startup, &info);
  // Only the child holds the write end now, so the read below ends with it.
  CloseHandle(write_end);
  if (null_in != INVALID_HANDLE_VALUE) CloseHandle(null_in);
  if (!started) {
    CloseHandle(read_end);
    return result;
  }
  CloseHandle(info.hThread);
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(read_end, buffer, sizeof buffer, &got, nullptr) && got > 0)
    result.output.append(buffer, got);
  CloseHandle(read_end);
  WaitForSingleObject(info.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(info.hProcess, &code);
  CloseHandle(info.hProcess);
  result.started = true;
  result.exit_code = static_cast<int>(code);
  return result;
}

}  // namespace tavex
