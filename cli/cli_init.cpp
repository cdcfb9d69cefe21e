#include "cli/cli_init.h"

#include <filesystem>

#include "cli/cli_run.h"
#include "cli/cli_summary.h"
#include "launch/working_folder.h"
#include "platform/failure.h"
#include "platform/files.h"
#include "platform/text.h"

namespace fs = std::filesystem;

namespace tavex::cli {

Options ParseInitArguments(const std::vector<std::string>& args) {
  Options options;
  options.command = Command::Init;
  std::vector<std::string> folders;
  for (size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--help" || args[i] == "-h") return Options{};  // the help
    if (args[i].size() > 1 && args[i][0] == '-')
      throw UsageError{"неизвестный параметр «" + args[i] + "» команды init"};
    folders.push_back(args[i]);
  }
  if (folders.size() != 1) throw UsageError{"init нужна одна папка DIR"};
  options.folder = folders[0];
  return options;
}

int RunInit(const Options& options, std::ostream& out, std::ostream& err) {
  const std::string folder = Utf8To1251(Utf8OfPath(fs::absolute(PathOfUtf8(options.folder))));
  try {
    const std::string sample = FindSampleFolder();
    const int files = MakeWorkingFolder(sample, folder);
    out << "Рабочая папка создана: " << ShownAbsolute(folder) << " (из образца "
        << ShownAbsolute(sample) << ", файлов: " << files << ")\n"
        << "Собрать выпуск образца: mytavex-cli build --workdir " << ShownAbsolute(folder) << "\n";
    return kExitSuccess;
  } catch (const Failure& failure) {
    PrintPrefixed(err, kErrorPrefix, Cp1251ToUtf8(failure.what()));
    return kExitFailure;
  }
}

}  // namespace tavex::cli
