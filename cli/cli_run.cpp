#include "cli/cli_run.h"

#include <filesystem>

#include "app/extra_settings.h"
#include "app/settings.h"
#include "build/start_run.h"
#include "clean/clean_article.h"
#include "clean/line_helpers.h"
#include "clean/pictures.h"
#include "cli/cli_archive.h"
#include "cli/cli_edition.h"
#include "cli/cli_explain.h"
#include "cli/cli_init.h"
#include "cli/cli_list.h"
#include "cli/cli_options.h"
#include "cli/cli_summary.h"
#include "cli/cli_window.h"
#include "platform/failure.h"
#include "platform/files.h"
#include "platform/text.h"
#include "rules/rule_files.h"

namespace fs = std::filesystem;

namespace tavex::cli {
namespace {

// The window's messages (the help compiler's verdict) on out, a line each.
void PrintMessages(const CliWindow& window, std::ostream& stream) {
  for (const std::string& message : window.messages())
    PrintPrefixed(stream, kProgramPrefix, Cp1251ToUtf8(message));
}

void PrintFailure(const Failure& failure, std::ostream& err) {
  PrintPrefixed(err, kErrorPrefix, Cp1251ToUtf8(failure.what()));
}

// A failure to read a number: "'%s' is not a valid integer value" (a bad
// number in tavex.sav, say), which exits as a field that is not a number.
bool IsNumberFailure(const Failure& failure) {
  const std::string_view text = failure.what();
  const std::string_view first = text.substr(0, text.find('\n'));
  constexpr std::string_view kTail = "' is not a valid integer value";
  return first.size() > kTail.size() && first.substr(first.size() - kTail.size()) == kTail;
}

bool SetsOption(const Options& options, std::string_view name) {
  for (const Setting& setting : options.settings)
    if (setting.name == name) return true;
  return false;
}

// Options as the window would hold them: designer defaults, then the settings
// files of the working folder when there are, then the command line's values.
// Without tavex.sav the designer defaults name folders of another machine
// ("e:\temp"): unless the command line gives SourceDir, a build stops with an
// error that names the missing file, not a missing source folder. clean reads
// no source folder and goes on with the defaults.
void SetUpWindow(CliWindow& window, const Options& options, std::ostream& err) {
  if (FileExists(kSettingsFile)) {
    TSettings settings;
    ActivateMainWindow(window, settings);
    for (const std::string& problem : ExtraSettingsProblems(settings))
      PrintPrefixed(err, kWarningPrefix, Cp1251ToUtf8(problem));
  } else if (options.command == Command::Build && !SetsOption(options, "SourceDir")) {
    throw UsageError{"в рабочей папке " + Utf8OfPath(std::filesystem::current_path()) +
                     " нет файла настроек " + kSettingsFile +
                     ": задайте рабочую папку (--workdir) или папки (--set SourceDir=…, -o)"};
  } else if (options.command == Command::Build) {
    PrintPrefixed(err, kWarningPrefix,
                  std::string("в рабочей папке нет файла настроек ") + kSettingsFile +
                      ": прочие параметры — по умолчанию окна");
  }
  for (const Setting& setting : options.settings) {
    if (const FieldInfo* field = FindFieldByName(setting.name)) {
      window.SetFieldText(field->field, Utf8To1251(setting.value));
    } else if (const SwitchInfo* sw = FindSwitchByName(setting.name)) {
      window.SetChecked(sw->sw, setting.value == "on");  // brought to on/off when parsed
    } else {
      window.SetIssueDate(*ParseIsoDate(setting.value));  // checked when parsed
    }
  }
  if (options.output) window.SetFieldText(Field::TargetDir, Utf8To1251(*options.output));
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

// The run's number checks, said the command line's way: the option's name
// and its label, and the text that is no number.
bool CheckNumbers(const CliWindow& window, std::ostream& err) {
  for (const TNumberField& number : kNumberFields) {
    const std::string text = window.FieldText(number.field);
    if (TryParseInt(text)) continue;
    const char* name = "";
    for (const FieldInfo& info : kFields)
      if (info.field == number.field) name = info.name;
    err << kErrorPrefix << name << " (поле «" << Cp1251ToUtf8(number.label) << "») не число: «"
        << Cp1251ToUtf8(text) << "»\n";
    return false;
  }
  return true;
}

int Build(CliWindow& window, const Options& options, std::ostream& out, std::ostream& err) {
  if (!CheckNumbers(window, err)) return kExitUsage;
  if (options.list) {
    ListIssue(window, out);
    return kExitSuccess;
  }
  window.excluded_titles = options.excluded_titles;
  ArticleTable table;
  window.WatchTable(&table);
  const StartResult result = StartRun(window, table, BuiltInEdition());
  if (result == StartResult::InputRejected) return kExitUsage;  // checked above already
  PrintBuildSummary(window, table, out, err);
  PrintMessages(window, out);
  // RunCompiler was on and no help file came of it: the warning said why.
  return result == StartResult::FinishedWithoutHelpFile ? kExitFailure : kExitSuccess;
}

// Cleans one page as the run would, with the folder fields resolved the same
// way, so its pictures land in the issue's picture folder. Without --set
// TargetDir that is the folder above TARGET's folder: the page refers to its
// pictures as "..\Images\N.gif", so they land where it looks for them.
int Clean(CliWindow& window, const Options& options, const std::string& source,
          const std::string& target, std::ostream& out, std::ostream& err) {
  if (!CheckNumbers(window, err)) return kExitUsage;
  if (!SetsOption(options, "TargetDir"))
    window.SetFieldText(
        Field::TargetDir,
        Utf8To1251(Utf8OfPath(PathOfUtf8(Cp1251ToUtf8(target)).parent_path().parent_path())));
  for (Field field : {Field::SourceDir, Field::TargetDir})
    window.SetFieldText(field, SubstituteIssueNumber(window.FieldText(field), window));
  WarnOfMissingRuleFolder(window);
  const std::string images = window.FieldText(Field::TargetDir) + "\\images";
  if (!FolderExists(images)) CreateFolder(images);
  LinkCaseVariant(images, window.FieldText(Field::TargetDir) + "\\Images");
  // Into a built issue the page's pictures come after the issue's own: a
  // number already there is another article's picture.
  PictureRegister().Reset(HighestPictureNumber(images));
  ExplainPrinter explain(out);
  const std::string title =
      CleanArticle(source, target, window, {}, nullptr, options.explain ? &explain : nullptr);
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

int UsageFailure(const std::string& text, std::ostream& err) {
  PrintPrefixed(err, kErrorPrefix, text);
  err << kUsage;
  return kExitUsage;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           bool terminal) {
  UseBuiltInArchiveReader();
  Options options;
  try {
    options = ParseArguments(args);
  } catch (const UsageError& usage) {
    return UsageFailure(usage.text, err);
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
  if (options.output) options.output = Cp1251ToUtf8(AbsoluteText(*options.output));
  if (options.workdir) {
    std::error_code ec;
    fs::current_path(PathOfUtf8(*options.workdir), ec);
    if (ec) {
      err << kErrorPrefix << "рабочая папка " << *options.workdir << " недоступна: " << ec.message()
          << "\n";
      return kExitUsage;
    }
  }

  CliWindow window(err, StyleFor(options, terminal));
  try {
    SetUpWindow(window, options, err);
  } catch (const UsageError& usage) {
    PrintPrefixed(err, kErrorPrefix, usage.text);
    return kExitUsage;
  } catch (const Failure& failure) {
    PrintFailure(failure, err);
    return IsNumberFailure(failure) ? kExitUsage : kExitFailure;
  }
  try {
    if (options.command == Command::Build) return Build(window, options, out, err);
    return Clean(window, options, source, target, out, err);
  } catch (const Failure& failure) {
    PrintMessages(window, out);
    PrintFailure(failure, err);
    return kExitFailure;
  }
}

}  // namespace tavex::cli
