#include "cli/cli_options.h"

#include <cstdio>

#include "cli/cli_init.h"

namespace tavex::cli {

const char* const kUsage =
    "usage: mytavex-cli build [--workdir DIR] [--set NAME=VALUE]... [--rubric FOLDER=TITLE]...\n"
    "                         [--exclude TITLE]... [--quiet] [--list]\n"
    "       mytavex-cli clean SOURCE TARGET [--workdir DIR] [--set NAME=VALUE]...\n"
    "       mytavex-cli init DIR\n"
    "       mytavex-cli --help | --version\n"
    "'mytavex-cli --help' lists every option and every NAME that --set takes.\n";

namespace {

bool IsLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

// Splits "A=B" at its first "="; the left side must not be empty.
std::pair<std::string, std::string> SplitPair(const std::string& text, const char* option) {
  const size_t eq = text.find('=');
  if (eq == std::string::npos || eq == 0)
    throw UsageError{std::string(option) + " needs the form " +
                     (std::string(option) == "--set" ? "NAME=VALUE" : "FOLDER=TITLE")};
  return {text.substr(0, eq), text.substr(eq + 1)};
}

void CheckSetting(const Setting& setting) {
  if (FindFieldByName(setting.name)) return;
  if (FindSwitchByName(setting.name)) {
    if (setting.value != "on" && setting.value != "off")
      throw UsageError{setting.name + " takes on or off, not '" + setting.value + "'"};
    return;
  }
  if (setting.name == "IssueDate") {
    if (!ParseIsoDate(setting.value))
      throw UsageError{"IssueDate takes YYYY-MM-DD, not '" + setting.value + "'"};
    return;
  }
  throw UsageError{"unknown option name '" + setting.name + "'"};
}

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
  if (args.empty()) throw UsageError{"no command given"};
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
    throw UsageError{"unknown command '" + command + "'"};
  }

  const bool build = options.command == Command::Build;
  std::vector<std::string> positional;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&]() -> const std::string& {
      if (i + 1 >= args.size()) throw UsageError{arg + " needs a value"};
      return args[++i];
    };
    if (arg == "--help" || arg == "-h") {
      options.command = Command::Help;
      return options;
    } else if (arg == "--workdir") {
      options.workdir = value();
    } else if (arg == "--set") {
      auto [name, text] = SplitPair(value(), "--set");
      options.settings.push_back({name, text});
      CheckSetting(options.settings.back());
    } else if (build && arg == "--rubric") {
      options.rubrics.push_back(SplitPair(value(), "--rubric"));
    } else if (build && arg == "--exclude") {
      options.excluded_titles.push_back(value());
    } else if (build && arg == "--quiet") {
      options.quiet = true;
    } else if (build && arg == "--list") {
      options.list = true;
    } else if (arg.size() > 1 && arg[0] == '-') {
      throw UsageError{"unknown option '" + arg + "' for " + command};
    } else {
      positional.push_back(arg);
    }
  }
  if (build && !positional.empty()) throw UsageError{"build takes no file arguments"};
  if (!build) {
    if (positional.size() != 2) throw UsageError{"clean needs SOURCE and TARGET"};
    options.source = positional[0];
    options.target = positional[1];
  }
  return options;
}

}  // namespace tavex::cli
