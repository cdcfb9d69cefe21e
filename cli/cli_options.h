// The command line of mytavex-cli, read into a plain record.
//
//   mytavex-cli build [--workdir DIR] [--set NAME=VALUE]... [--rubric FOLDER=TITLE]...
//                     [--exclude TITLE]... [--quiet] [--list]
//   mytavex-cli clean SOURCE TARGET [--workdir DIR] [--set NAME=VALUE]...
//   mytavex-cli init DIR
//   mytavex-cli --help | build --help | clean --help | --version
//
// Scripts depend on this interface; keep it as it stands. Texts stay UTF-8
// here; they are turned into the core's Windows-1251 where they are used.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/main_window.h"

namespace tavex::cli {

enum class Command { Build, Clean, Init, Help, Version };

struct Setting {
  std::string name;   // an option name: SourceDir, RemoveAds, IssueDate, ...
  std::string value;  // UTF-8; "on"/"off" for switches, YYYY-MM-DD for IssueDate
};

struct Options {
  Command command = Command::Help;
  std::optional<std::string> workdir;
  std::vector<Setting> settings;
  std::vector<std::pair<std::string, std::string>> rubrics;  // (folder, title)
  std::vector<std::string> excluded_titles;
  bool quiet = false;
  bool list = false;           // build --list: print what a build would make, write nothing
  std::string source, target;  // clean only
  std::string folder;          // init only: the working folder to make
};

// Thrown for a command line that does not fit the interface (exit status 2).
struct UsageError {
  std::string text;
};

extern const char* const kUsage;

// The whole help: the usage, every command-line option, and every option name
// that --set takes with its kind, its default and one line of meaning.
std::string HelpText();

// "mytavex-cli " + the program's version.
std::string VersionText();

// Reads the arguments after the program name. Names and values of --set are
// checked here, so a bad one stops the program before anything is read.
Options ParseArguments(const std::vector<std::string>& args);

// "YYYY-MM-DD" as a calendar date, or nullopt.
std::optional<Date> ParseIsoDate(const std::string& text);

}  // namespace tavex::cli
