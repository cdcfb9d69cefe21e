#include "build/help_compiler.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <optional>

#include "app/main_window.h"
#include "clean/line_helpers.h"
#include "clean/line_list.h"
#include "platform/files.h"
#include "platform/process.h"
#include "platform/shell.h"
#include "platform/text.h"

namespace fs = std::filesystem;

namespace tavex {
namespace {

// The help compilers looked for on PATH, in this order: Free Pascal's chmcmd,
// then Microsoft's HTML Help Workshop compiler (hhc.exe, Windows only). Both
// take the project file as their one argument.
constexpr const char* kCompilers[] = {"chmcmd", "hhc"};
constexpr const char* kCompiledOption = "compiled file=";
// The progress bar that moves while the compiler runs: one step per wait.
constexpr int kWaitSteps = 100;

long long StampOf(const std::string& path, bool& exists) {
  std::error_code ec;
  const auto stamp = fs::last_write_time(PathOfUtf8(path), ec);
  exists = !ec;
  return exists ? static_cast<long long>(stamp.time_since_epoch().count()) : 0;
}

// The first line of the message: the verdict, in the window's language.
std::string VerdictLine(HelpFileVerdict verdict, bool started, const std::string& help_file) {
  const std::string shown = Utf8To1251(help_file);
  // "Файл справки собран: "
  if (verdict == HelpFileVerdict::Made)
    return "\xd4\xe0\xe9\xeb \xf1\xef\xf0\xe0\xe2\xea\xe8 \xf1\xee\xe1\xf0\xe0\xed: " + shown;
  // "Компилятор справки не собрал файл " ... " (" reason ")"
  std::string reason;
  if (!started) {
    reason =
        "\xea\xee\xec\xef\xe8\xeb\xff\xf2\xee\xf0 \xed\xe5 "
        "\xe7\xe0\xef\xf3\xf1\xf2\xe8\xeb\xf1\xff";  // компилятор не запустился
  } else if (verdict == HelpFileVerdict::Missing || verdict == HelpFileVerdict::Old) {
    reason = "\xf4\xe0\xe9\xeb \xed\xe5 \xe7\xe0\xef\xe8\xf1\xe0\xed";  // файл не записан
  } else if (verdict == HelpFileVerdict::Empty) {
    reason = "\xf4\xe0\xe9\xeb \xef\xf3\xf1\xf2";  // файл пуст
  } else {
    // в нём нет стартовой страницы выпуска
    reason =
        "\xe2 \xed\xb8\xec \xed\xe5\xf2 \xf1\xf2\xe0\xf0\xf2\xee\xe2\xee\xe9 "
        "\xf1\xf2\xf0\xe0\xed\xe8\xf6\xfb \xe2\xfb\xef\xf3\xf1\xea\xe0";
  }
  return "\xca\xee\xec\xef\xe8\xeb\xff\xf2\xee\xf0 \xf1\xef\xf0\xe0\xe2\xea\xe8 \xed\xe5 "
         "\xf1\xee\xe1\xf0\xe0\xeb \xf4\xe0\xe9\xeb " +
         shown + " (" + reason + ")";
}

// "Компилятор справки не найден (в PATH нет ни chmcmd, ни hhc): файл " ... " не собран"
std::string NoCompilerLine(const std::string& help_file) {
  return "\xca\xee\xec\xef\xe8\xeb\xff\xf2\xee\xf0 \xf1\xef\xf0\xe0\xe2\xea\xe8 \xed\xe5 "
         "\xed\xe0\xe9\xe4\xe5\xed (\xe2 PATH \xed\xe5\xf2 \xed\xe8 chmcmd, \xed\xe8 hhc): "
         "\xf4\xe0\xe9\xeb " +
         Utf8To1251(help_file) + " \xed\xe5 \xf1\xee\xe1\xf0\xe0\xed";
}

// Whether a line of the compiler's output says why it failed. chmcmd prints
// "Error: Html parsing ..." for every real page while it makes the file, so
// those lines are no cause.
bool IsCauseLine(const std::string& line) {
  const std::string lowered = LowerCase(line);
  if (lowered.find("html parsing") != std::string::npos) return false;
  for (const char* mark : {"can't", "cannot", "unable", "error", "exception", "does not exist"})
    if (lowered.find(mark) != std::string::npos) return true;
  return false;
}

}  // namespace

std::string CompilerCause(std::string_view log_path) {
  constexpr size_t kLongest = 300;  // characters shown of the line
  const auto bytes = ReadFileBytes(Utf8To1251(log_path));
  if (!bytes) return {};
  std::string last;
  for (const std::string& line : SplitIntoLines(*bytes)) {
    const std::string text = SqueezeSpaces(line);
    if (text.empty()) continue;
    if (IsCauseLine(text)) return text.substr(0, kLongest);
    last = text;
  }
  return last.substr(0, kLongest);
}

std::string CompiledFileOf(std::string_view project_path) {
  const fs::path project = NativePath(project_path);
  std::string name = Utf8OfPath(project.stem()) + ".chm";
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
  return Utf8OfPath((project.parent_path() / PathOfUtf8(name)).lexically_normal());
}

std::string CompilerLogOf(std::string_view project_path) {
  const fs::path project = NativePath(project_path);
  return Utf8OfPath(fs::path(project).replace_extension(".log"));
}

HelpFileVerdict JudgeHelpFile(const std::string& help_file, bool existed_before,
                              long long before_stamp, std::string_view start_page) {
  bool exists = false;
  const long long stamp = StampOf(help_file, exists);
  if (!exists) return HelpFileVerdict::Missing;
  if (existed_before && stamp == before_stamp) return HelpFileVerdict::Old;
  const auto bytes = ReadFileBytes(Utf8To1251(help_file));
  if (!bytes || bytes->empty()) return HelpFileVerdict::Empty;
  if (start_page.empty()) return HelpFileVerdict::Made;
  std::string name = LowerCase(start_page);
  std::replace(name.begin(), name.end(), '\\', '/');
  while (!name.empty() && name.front() == '/') name.erase(0, 1);
  // Lower-cased a piece at a time would need care at the seams; the file is
  // read whole anyway, so it is lower-cased whole, once.
  const std::string lowered = LowerCase(*bytes);
  return lowered.find(name) == std::string::npos ? HelpFileVerdict::WithoutStartPage
                                                 : HelpFileVerdict::Made;
}

bool OpenHelpProject(std::string_view project_path, std::string_view start_page,
                     MainWindow& window) {
  std::optional<std::string> compiler;
  for (const char* name : kCompilers)
    if (!compiler) compiler = FindProgram(name);
  const std::string help_file = Utf8OfPath(fs::absolute(PathOfUtf8(CompiledFileOf(project_path))));
  if (!compiler) {
    window.ShowWarning(NoCompilerLine(help_file));
    ShellOpen(project_path);
    return false;
  }
  const fs::path project = fs::absolute(NativePath(project_path));
  const std::string log = Utf8OfPath(fs::absolute(PathOfUtf8(CompilerLogOf(project_path))));
  // An earlier result stays in place until the compiler replaces it; only a
  // file written by this run counts as made.
  bool existed = false;
  const long long before = StampOf(help_file, existed);

  int step = 0;
  // "Компиляция справки: " compiler " " project
  window.ShowStatus("\xca\xee\xec\xef\xe8\xeb\xff\xf6\xe8\xff \xf1\xef\xf0\xe0\xe2\xea\xe8: " +
                    Utf8To1251(Utf8OfPath(PathOfUtf8(*compiler).filename())) + " " +
                    Utf8To1251(Utf8OfPath(project.filename())) + "\x85");  // "…"
  window.SetProgressMax(ProgressBar::Articles, kWaitSteps);
  struct ClearStatus {
    MainWindow& window;
    ~ClearStatus() { window.ShowStatus(""); }
  } clear_status{window};
  const ProgramResult run = RunProgramLogged(
      {*compiler, Utf8OfPath(project.filename())}, Utf8OfPath(project.parent_path()), log, [&] {
        window.SetProgressPosition(ProgressBar::Articles, step++ % (kWaitSteps + 1));
        window.ProcessMessages();
      });
  window.SetProgressPosition(ProgressBar::Articles, 0);

  const HelpFileVerdict verdict = run.started
                                      ? JudgeHelpFile(help_file, existed, before, start_page)
                                      : HelpFileVerdict::Missing;
  // "Вывод компилятора: "
  const std::string log_line =
      "\n\xc2\xfb\xe2\xee\xe4 \xea\xee\xec\xef\xe8\xeb\xff\xf2\xee\xf0\xe0: " + Utf8To1251(log);
  if (verdict == HelpFileVerdict::Made) {
    window.ShowMessage(VerdictLine(verdict, run.started, help_file) + log_line);
    return true;
  }
  std::string cause = run.started ? CompilerCause(log) : std::string();
  // "Компилятор сообщил: "
  if (!cause.empty())
    cause = "\n\xca\xee\xec\xef\xe8\xeb\xff\xf2\xee\xf0 \xf1\xee\xee\xe1\xf9\xe8\xeb: " + cause;
  window.ShowWarning(VerdictLine(verdict, run.started, help_file) + cause + log_line);
  return false;
}

}  // namespace tavex
