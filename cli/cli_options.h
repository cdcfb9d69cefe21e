// The command line of mytavex-cli, read into a plain record.
//
//   mytavex-cli build [--workdir DIR] [--set NAME=VALUE]... [--rubric FOLDER=TITLE]...
//                     [--exclude TITLE]... [-o DIR] [-q] [--list]
//   mytavex-cli clean SOURCE TARGET [--workdir DIR] [--set NAME=VALUE]... [--explain]
//   mytavex-cli init DIR
//   mytavex-cli --help | build --help | clean --help | --version
//
// Every option that takes a value takes it in the next argument or after "="
// (--set=RemoveAds=off, --workdir=data); -o is --output, -q is --quiet.
// Switch values take any letter case (On, OFF). Scripts depend on this
// interface: the forms are only ever added to. Texts stay UTF-8 here; they
// are turned into the core's Windows-1251 where they are used.
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
  // build -o/--output: the issue folder (TargetDir) for this run, as typed;
  // relative to the caller's current folder, "#x1" for the issue number.
  std::optional<std::string> output;
  bool quiet = false;
  bool list = false;           // build --list: print what a build would make, write nothing
  bool explain = false;        // clean --explain: print what each step changed
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
