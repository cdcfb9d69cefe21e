#include "cli/cli_options.h"

#include <cstdio>

#include "cli/cli_init.h"
#include "platform/text.h"

namespace tavex::cli {

const char* const kUsage =
    "использование: mytavex-cli build [--workdir DIR] [--set NAME=VALUE]...\n"
    "                         [--rubric FOLDER=TITLE]... [--exclude TITLE]...\n"
    "                         [-o DIR] [-q] [--list]\n"
    "       mytavex-cli clean SOURCE TARGET [--workdir DIR] [--set NAME=VALUE]...\n"
    "                         [--explain]\n"
    "       mytavex-cli init DIR\n"
    "       mytavex-cli --help | --version\n"
    "Все параметры и имена NAME для --set: mytavex-cli --help\n";

namespace {

bool IsLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

// Splits "A=B" at its first "="; the left side must not be empty.
std::pair<std::string, std::string> SplitPair(const std::string& text, const std::string& option) {
  const size_t eq = text.find('=');
  if (eq == std::string::npos || eq == 0)
    throw UsageError{option + " ждёт значение вида " +
                     (option == "--set" ? "NAME=VALUE" : "FOLDER=TITLE") + ", а не «" + text + "»"};
  return {text.substr(0, eq), text.substr(eq + 1)};
}

// Checks a --set value and brings a switch's value to "on" or "off" (any
// letter case is taken, as the working folder's mytavex.ini takes it).
void CheckSetting(Setting& setting) {
  if (FindFieldByName(setting.name)) return;
  if (FindSwitchByName(setting.name)) {
    const std::string value = LowerCase(setting.value);
    if (value != "on" && value != "off")
      throw UsageError{setting.name + " принимает on или off, а не «" + setting.value + "»"};
    setting.value = value;
    return;
  }
  if (setting.name == "IssueDate") {
    if (!ParseIsoDate(setting.value))
      throw UsageError{"IssueDate принимает дату ГГГГ-ММ-ДД, а не «" + setting.value + "»"};
    return;
  }
  throw UsageError{"неизвестное имя параметра «" + setting.name + "»"};
}

// An option that takes a value, in any of the three forms "--name VALUE",
// "--name=VALUE" and, for the short ones, "-n VALUE".
struct ValueOption {
  const char* name;
  const char* short_name;  // null: none
  bool build_only;
};
constexpr ValueOption kValueOptions[] = {
    {"--workdir", nullptr, false}, {"--set", nullptr, false}, {"--rubric", nullptr, true},
    {"--exclude", nullptr, true},  {"--output", "-o", true},
};

}  // namespace

std::optional<Date> ParseIsoDate(const std::string& text) {
  int year = 0, month = 0, day = 0, consumed = 0;
  if (text.size() != 10 ||
      std::sscanf(text.c_str(), "%4d-%2d-%2d%n", &year, &month, &day, &consumed) != 3 ||
      consumed != 10 || text[4] != '-' || text[7] != '-')
    return std::nullopt;
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (year < 1 || month < 1 || month > 12 || day < 1) return std::nullopt;
  const int days = kDays[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0);
  if (day > days) return std::nullopt;
  return Date{year, month, day};
}

Options ParseArguments(const std::vector<std::string>& args) {
  Options options;
  if (args.empty()) throw UsageError{"не задана команда"};
  const std::string& command = args[0];
  if (command == "--help" || command == "-h" || command == "help") return options;
  if (command == "--version") {
    options.command = Command::Version;
    return options;
  }
  if (command == "build") {
    options.command = Command::Build;
  } else if (command == "clean") {
    options.command = Command::Clean;
  } else if (command == "init") {
    return ParseInitArguments(args);
  } else {
    throw UsageError{"неизвестная команда «" + command + "»"};
  }

  const bool build = options.command == Command::Build;
  std::vector<std::string> positional;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") {
      options.command = Command::Help;
      return options;
    }
    // The option's name and its value, whichever form it was given in.
    const ValueOption* option = nullptr;
    std::string value;
    for (const ValueOption& candidate : kValueOptions) {
      if (candidate.build_only && !build) continue;
      const std::string name = candidate.name;
      if (arg == name || (candidate.short_name && arg == candidate.short_name)) {
        if (i + 1 >= args.size()) throw UsageError{arg + " ждёт значение"};
        option = &candidate;
        value = args[++i];
      } else if (arg.rfind(name + "=", 0) == 0) {
        option = &candidate;
        value = arg.substr(name.size() + 1);
      }
      if (option) break;
    }
    const std::string name = option ? option->name : "";
    if (name == "--workdir") {
      options.workdir = value;
    } else if (name == "--set") {
      auto [setting, text] = SplitPair(value, "--set");
      options.settings.push_back({setting, text});
      CheckSetting(options.settings.back());
    } else if (name == "--rubric") {
      options.rubrics.push_back(SplitPair(value, "--rubric"));
    } else if (name == "--exclude") {
      options.excluded_titles.push_back(value);
    } else if (name == "--output") {
      if (value.empty()) throw UsageError{arg + " ждёт папку выпуска"};
      options.output = value;
    } else if (build && (arg == "--quiet" || arg == "-q")) {
      options.quiet = true;
    } else if (build && arg == "--list") {
      options.list = true;
    } else if (!build && arg == "--explain") {
      options.explain = true;
    } else if (arg.size() > 1 && arg[0] == '-') {
      throw UsageError{"неизвестный параметр «" + arg + "» команды " + command};
    } else {
      positional.push_back(arg);
    }
  }
  if (build && !positional.empty())
    throw UsageError{"команда build не принимает файлов, а дано «" + positional[0] + "»"};
  if (!build) {
    if (positional.size() != 2) throw UsageError{"команде clean нужны SOURCE и TARGET"};
    options.source = positional[0];
    options.target = positional[1];
  }
  return options;
}

}  // namespace tavex::cli
