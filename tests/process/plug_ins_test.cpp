// The plug-ins of real mytavex-cli processes: a run loads only the libraries
// it needs (the dynamic loader's own log, LD_DEBUG=files, tells which), and a
// copy of the program without its plug-ins still does everything else, naming
// the plug-in when, and only when, a run needs it. MYTAVEX_CLI is the built
// command; MYTAVEX_PLUG_IN_DIR the folder its plug-ins were built in, which is
// MYTAVEX_PLUG_IN_SUBDIR below the folder above the command's.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/process.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

using tavex::ProgramResult;
using tavex::RunProgram;
using tavex::test::TempDir;

const fs::path kArchive = fs::path(MYTAVEX_MHTML_SAMPLES) / "saved_by_chrome.mhtml";
const fs::path kPage = fs::path(MYTAVEX_DATA_DIR) / "source" / "Software" / "office.htm";

// The libraries the loader loaded for a run (its "file=NAME [0];" lines).
std::vector<std::string> Loaded(const std::string& log) {
  std::vector<std::string> names;
  for (size_t at = log.find("file="); at != std::string::npos; at = log.find("file=", at + 1)) {
    const size_t end = log.find_first_of(" \t[", at);
    names.push_back(log.substr(at + 5, end - at - 5));
  }
  return names;
}

bool LoadedOne(const std::vector<std::string>& names, const std::string& part) {
  for (const std::string& name : names)
    if (name.find(part) != std::string::npos) return true;
  return false;
}

// The program and its working folder in a place of their own.
struct Place {
  explicit Place(const fs::path& program) {
    fs::create_directories(dir.path() / "bin");
    fs::copy_file(program, cli);
    const ProgramResult init = RunProgram({cli.string(), "init", work.string()}, "");
    EXPECT_EQ(init.exit_code, 0) << init.output;
    fs::create_directories(dir.path() / "out" / "pub");
  }
  ProgramResult Run(std::vector<std::string> args, bool log_loading = false) const {
    args.insert(args.begin(), cli.string());
    if (log_loading) args.insert(args.begin(), {"env", "LD_DEBUG=files"});
    return RunProgram(args, work.string());
  }
  ProgramResult Clean(const fs::path& page, bool log_loading = false) const {
    return Run({"clean", page.string(), (dir.path() / "out" / "pub" / "0.htm").string()},
               log_loading);
  }
  ProgramResult Build(const char* epub, bool log_loading = false) const {
    return Run({"build", "--quiet", "--set", "RunCompiler=off", "--set", epub}, log_loading);
  }
  fs::path PlugIn(const char* name) const {
    return dir.path() / MYTAVEX_PLUG_IN_SUBDIR / ("lib" + std::string(name) + ".so");
  }

  TempDir dir;
  fs::path cli = dir.path() / "bin" / "mytavex-cli";
  fs::path work = dir.path() / "work";
};

// With every plug-in beside it, each kind of run loads what it needs alone.
TEST(PlugIns, ARunLoadsOnlyTheLibrariesItNeeds) {
  Place place(MYTAVEX_CLI);
  fs::create_directories(place.PlugIn("mytavex-epub").parent_path().parent_path());
  fs::copy(MYTAVEX_PLUG_IN_DIR, place.PlugIn("mytavex-epub").parent_path());

  for (const ProgramResult& run : {place.Run({"--version"}, true), place.Clean(kPage, true),
                                   place.Build("MakeEpub=off", true)}) {
    ASSERT_EQ(run.exit_code, 0) << run.output;
    const std::vector<std::string> loaded = Loaded(run.output);
    ASSERT_FALSE(loaded.empty()) << "no loader log:\n" << run.output;
    for (const char* library : {"libmytavex", "libgmime", "libglib", "libxml2", "libzip"})
      EXPECT_FALSE(LoadedOne(loaded, library)) << library << "\n" << run.output;
  }

  const ProgramResult archive = place.Clean(kArchive, true);
  ASSERT_EQ(archive.exit_code, 0) << archive.output;
  for (const char* library : {"libmytavex-mhtml.so", "libgmime"})
    EXPECT_TRUE(LoadedOne(Loaded(archive.output), library)) << library;
  EXPECT_FALSE(LoadedOne(Loaded(archive.output), "libmytavex-epub"));

  const ProgramResult book = place.Build("MakeEpub=on", true);
  ASSERT_EQ(book.exit_code, 0) << book.output;
  for (const char* library : {"libmytavex-epub.so", "libxml2", "libzip"})
    EXPECT_TRUE(LoadedOne(Loaded(book.output), library)) << library;
  EXPECT_FALSE(LoadedOne(Loaded(book.output), "libgmime"));
  EXPECT_TRUE(fs::exists(place.work / "help" / "tavex1" / "tavex1" / "tavex1.epub"));
}

TEST(PlugIns, AMissingPlugInIsNamedWhenAndOnlyWhenARunNeedsIt) {
  Place place(MYTAVEX_CLI);
  const ProgramResult version = place.Run({"--version"});
  EXPECT_EQ(version.exit_code, 0);
  EXPECT_NE(version.output.find("модуль не найден: " + place.PlugIn("mytavex-epub").string()),
            std::string::npos)
      << version.output;

  // What needs no plug-in works as ever.
  EXPECT_EQ(place.Clean(kPage).exit_code, 0);
  EXPECT_EQ(place.Build("MakeEpub=off").exit_code, 0);

  const ProgramResult archive = place.Clean(kArchive);
  EXPECT_EQ(archive.exit_code, 1);
  EXPECT_NE(archive.output.find(
                "Не загружен модуль mytavex-mhtml (чтение страниц-архивов .mht и .mhtml)\n"
                "mytavex-cli: ошибка: " +
                place.PlugIn("mytavex-mhtml").string() + ": No such file or directory"),
            std::string::npos)
      << archive.output;

  const ProgramResult book = place.Build("MakeEpub=on");
  EXPECT_EQ(book.exit_code, 1);
  EXPECT_NE(book.output.find("Не загружен модуль mytavex-epub (издание EPUB)\n"
                             "mytavex-cli: ошибка: " +
                             place.PlugIn("mytavex-epub").string() + ": "),
            std::string::npos)
      << book.output;
}

// A file in a plug-in's place that is no library, or a plug-in of another
// kind (or version) that lacks the entry, is refused with the reason.
TEST(PlugIns, AFileThatIsNoFittingPlugInIsRefusedWithTheReason) {
  Place place(MYTAVEX_CLI);
  fs::create_directories(place.PlugIn("mytavex-mhtml").parent_path());
  fs::copy_file(fs::path(MYTAVEX_PLUG_IN_DIR) / "libmytavex-epub.so",
                place.PlugIn("mytavex-mhtml"));
  const ProgramResult other = place.Clean(kArchive);
  EXPECT_EQ(other.exit_code, 1);
  EXPECT_NE(other.output.find(place.PlugIn("mytavex-mhtml").string() +
                              ": в модуле нет входа mytavex_archive_reader_v1"),
            std::string::npos)
      << other.output;

  fs::remove(place.PlugIn("mytavex-mhtml"));
  tavex::test::WriteFile(place.PlugIn("mytavex-mhtml"), "not a library at all");
  const ProgramResult garbage = place.Clean(kArchive);
  EXPECT_EQ(garbage.exit_code, 1);
  const std::string named = place.PlugIn("mytavex-mhtml").string() + ": ";
  const size_t at = garbage.output.find(named);
  ASSERT_NE(at, std::string::npos) << garbage.output;
  EXPECT_GT(garbage.output.find('\n', at), at + named.size()) << "no reason:\n" << garbage.output;
}

}  // namespace
