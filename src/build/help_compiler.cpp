#include "build/help_compiler.h"

#include <algorithm>
#include <filesystem>

#include "app/main_window.h"
#include "clean/line_list.h"
#include "platform/files.h"
#include "platform/process.h"
#include "platform/shell.h"
#include "platform/text.h"

namespace fs = std::filesystem;

namespace tavex {
namespace {

constexpr const char* kCompiler = "chmcmd";
constexpr const char* kCompiledOption = "compiled file=";

}  // namespace

std::string CompiledFileOf(std::string_view project_path) {
  const fs::path project = NativePath(project_path);
  std::string name = project.stem().string() + ".chm";
  if (auto bytes = ReadFileBytes(project_path)) {
    for (const std::string& line : SplitIntoLines(*bytes)) {
      if (LowerCase(line).rfind(kCompiledOption, 0) != 0) continue;
      std::string value = line.substr(std::string_view(kCompiledOption).size());
      while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.pop_back();
      if (!value.empty()) name = Cp1251ToUtf8(value);
      break;
    }
  }
  std::replace(name.begin(), name.end(), '\\', '/');
  return (project.parent_path() / name).lexically_normal().string();
}

void OpenHelpProject(std::string_view project_path, MainWindow& window) {
  if (!FindProgram(kCompiler)) {
    ShellOpen(project_path);
    return;
  }
  const fs::path project = fs::absolute(NativePath(project_path));
  const std::string result_file = fs::absolute(CompiledFileOf(project_path)).string();
  // An earlier result stays in place until the compiler replaces it; only a
  // file written by this run counts as made.
  std::error_code ec;
  const auto before = fs::last_write_time(result_file, ec);
  const bool existed = !ec;

  ProgramResult run =
      RunProgram({kCompiler, project.filename().string()}, project.parent_path().string());
  const auto size = fs::file_size(result_file, ec);
  const bool written =
      !ec && size > 0 && (!existed || fs::last_write_time(result_file, ec) != before);
  if (run.started && run.output.find("Error") == std::string::npos && written) {
    // "Файл справки собран: "
    window.ShowMessage("\xd4\xe0\xe9\xeb \xf1\xef\xf0\xe0\xe2\xea\xe8 \xf1\xee\xe1\xf0\xe0\xed: " +
                       Utf8To1251(result_file));
    return;
  }
  // "Компилятор справки не собрал файл " ... ":"
  window.ShowMessage(
      "\xca\xee\xec\xef\xe8\xeb\xff\xf2\xee\xf0 \xf1\xef\xf0\xe0\xe2\xea\xe8 \xed\xe5 "
      "\xf1\xee\xe1\xf0\xe0\xeb \xf4\xe0\xe9\xeb " +
      Utf8To1251(result_file) + ":\n" + Utf8To1251(run.output));
}

}  // namespace tavex
