#include "cli/cli_run.h"

#include <filesystem>

#include "app/settings.h"
#include "build/start_run.h"
#include "clean/clean_article.h"
#include "clean/line_helpers.h"
#include "cli/cli_archive.h"
#include "cli/cli_edition.h"
#include "cli/cli_init.h"
#include "cli/cli_list.h"
#include "cli/cli_options.h"
#include "cli/cli_summary.h"
#include "cli/cli_window.h"
#include "platform/failure.h"
#include "platform/files.h"
#include "platform/text.h"

namespace fs = std::filesystem;

namespace tavex::cli {
namespace {

void PrintMessages(const CliWindow& window, std::ostream& stream) {
  for (const std::string& message : window.messages()) stream << Cp1251ToUtf8(message) << "\n";
}

// Options as the window would hold them: designer defaults, then the settings
// file of the working folder when there is one, then the command line's values.
void SetUpWindow(CliWindow& window, const Options& options) {
  if (FileExists(kSettingsFile)) {
    TSettings settings;
    ActivateMainWindow(window, settings);
  }
  for (const Setting& setting : options.settings) {
    if (const FieldInfo* field = FindFieldByName(setting.name)) {
      window.SetFieldText(field->field, Utf8To1251(setting.value));
    } else if (const SwitchInfo* sw = FindSwitchByName(setting.name)) {
      window.SetChecked(sw->sw, setting.value == "on");
    } else {
      window.SetIssueDate(*ParseIsoDate(setting.value));  // checked when parsed
    }
  }
  if (!options.rubrics.empty()) {
    window.SetRowCount(static_cast<int>(options.rubrics.size()) + 1);
    int row = 1;
    for (const auto& [folder, title] : options.rubrics) {
      window.SetCell(0, row, Utf8To1251(folder));
      window.SetCell(1, row, Utf8To1251(title));
      ++row;
    }
  }
}

int Build(CliWindow& window, const Options& options, std::ostream& out, std::ostream& err) {
  if (options.list) {
    if (!CheckNumberFields(window)) {
      PrintMessages(window, err);
      return kExitUsage;
    }
    ListIssue(window, out);
    return kExitSuccess;
  }
  window.excluded_titles = options.excluded_titles;
  ArticleTable table;
  window.WatchTable(&table);
  if (StartRun(window, table, BuiltInEdition()) == StartResult::InputRejected) {
    PrintMessages(window, err);
    return kExitUsage;
  }
  PrintBuildSummary(window, table, out, err);
  PrintMessages(window, out);
  return kExitSuccess;
}

bool SetsOption(const Options& options, std::string_view name) {
  for (const Setting& setting : options.settings)
    if (setting.name == name) return true;
  return false;
}

// Cleans one page as the run would, with the folder fields resolved the same
// way, so its pictures land in the issue's picture folder. Without --set
// TargetDir that is the folder above TARGET's folder: the page refers to its
// pictures as "..\Images\N.gif", so they land where it looks for them.
int Clean(CliWindow& window, const Options& options, const std::string& source,
          const std::string& target, std::ostream& out, std::ostream& err) {
  if (!CheckNumberFields(window)) {
    PrintMessages(window, err);
    return kExitUsage;
  }
  if (!SetsOption(options, "TargetDir"))
    window.SetFieldText(
        Field::TargetDir,
        Utf8To1251(Utf8OfPath(PathOfUtf8(Cp1251ToUtf8(target)).parent_path().parent_path())));
  for (Field field : {Field::SourceDir, Field::TargetDir})
    window.SetFieldText(field, SubstituteIssueNumber(window.FieldText(field), window));
  const std::string images = window.FieldText(Field::TargetDir) + "\\images";
  if (!FolderExists(images)) CreateFolder(images);
  LinkCaseVariant(images, window.FieldText(Field::TargetDir) + "\\Images");
  ResetPictureRegister();
  const std::string title = CleanArticle(source, target, window);
  PrintMessages(window, out);
  out << Cp1251ToUtf8(title) << "\n";
  return kExitSuccess;
}

// A UTF-8 path text made absolute, in the core's code page.
std::string AbsoluteText(const std::string& utf8) {
  return Utf8To1251(Utf8OfPath(fs::absolute(PathOfUtf8(utf8))));
}

ProgressStyle StyleFor(const Options& options, bool terminal) {
  if (options.quiet) return ProgressStyle::None;
  return terminal ? ProgressStyle::Bar : ProgressStyle::Lines;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           bool terminal) {
  UseBuiltInArchiveReader();
  Options options;
  try {
    options = ParseArguments(args);
  } catch (const UsageError& usage) {
    err << "mytavex-cli: " << usage.text << "\n" << kUsage;
    return kExitUsage;
  }
  if (options.command == Command::Help) {
    out << HelpText();
    return kExitSuccess;
  }
  if (options.command == Command::Version) {
    // Which build this is: what it was built with tells what it can make.
    out << VersionText() << EditionText() << ArchiveReaderText();
    return kExitSuccess;
  }
  if (options.command == Command::Init) return RunInit(options, out, err);

  // The files named on the command line are where the caller stands, not in
  // the working folder.
  std::string source, target;
  if (options.command == Command::Clean) {
    source = AbsoluteText(options.source);
    target = AbsoluteText(options.target);
  }
  if (options.workdir) {
    std::error_code ec;
    fs::current_path(PathOfUtf8(*options.workdir), ec);
    if (ec) {
      err << "mytavex-cli: cannot use the working folder " << *options.workdir << ": "
          << ec.message() << "\n";
      return kExitUsage;
    }
  }

  CliWindow window(err, StyleFor(options, terminal));
  try {
    SetUpWindow(window, options);
    if (options.command == Command::Build) return Build(window, options, out, err);
    return Clean(window, options, source, target, out, err);
  } catch (const Failure& failure) {
    PrintMessages(window, out);
    err << Cp1251ToUtf8(failure.what()) << "\n";
    return kExitFailure;
  }
}

}  // namespace tavex::cli
