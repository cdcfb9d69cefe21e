#include "launch/working_folder.h"

#include <cerrno>
#include <set>
#include <vector>

#include "app/settings.h"
#include "build/issue_tree.h"
#include "build/start_run.h"
#include "platform/failure.h"
#include "platform/files.h"
#include "platform/held_folder.h"
#include "platform/program_files.h"
#include "platform/shown_path.h"
#include "platform/text.h"

namespace tavex {
namespace {

// "Образец рабочей папки не найден: нет ни %s, ни %s"
constexpr const char* kNoSample =
    "\xce\xe1\xf0\xe0\xe7\xe5\xf6 \xf0\xe0\xe1\xee\xf7\xe5\xe9 \xef\xe0\xef\xea\xe8 \xed\xe5 "
    "\xed\xe0\xe9\xe4\xe5\xed: \xed\xe5\xf2 \xed\xe8 %s, \xed\xe8 %s";
// "Папка %s не пуста: рабочая папка делается только в новой или пустой папке;
// в ней ничего не изменено"
constexpr const char* kNotEmpty =
    "\xcf\xe0\xef\xea\xe0 %s \xed\xe5 \xef\xf3\xf1\xf2\xe0: \xf0\xe0\xe1\xee\xf7\xe0\xff \xef\xe0"
    "\xef\xea\xe0 \xe4\xe5\xeb\xe0\xe5\xf2\xf1\xff \xf2\xee\xeb\xfc\xea\xee \xe2 \xed\xee\xe2\xee"
    "\xe9 \xe8\xeb\xe8 \xef\xf3\xf1\xf2\xee\xe9 \xef\xe0\xef\xea\xe5; \xe2 \xed\xe5\xe9 \xed\xe8"
    "\xf7\xe5\xe3\xee \xed\xe5 \xe8\xe7\xec\xe5\xed\xe5\xed\xee";
// "%s — не папка: рабочая папка делается только в новой или пустой папке"
constexpr const char* kNotAFolder =
    "%s \x97 \xed\xe5 \xef\xe0\xef\xea\xe0: \xf0\xe0\xe1\xee\xf7\xe0\xff \xef\xe0\xef\xea\xe0 "
    "\xe4\xe5\xeb\xe0\xe5\xf2\xf1\xff \xf2\xee\xeb\xfc\xea\xee \xe2 \xed\xee\xe2\xee\xe9 \xe8\xeb"
    "\xe8 \xef\xf3\xf1\xf2\xee\xe9 \xef\xe0\xef\xea\xe5";
// "Папка %s лежит внутри образца %s: рабочая папка делается вне его"
constexpr const char* kInsideSample =
    "\xcf\xe0\xef\xea\xe0 %s \xeb\xe5\xe6\xe8\xf2 \xe2\xed\xf3\xf2\xf0\xe8 \xee\xe1\xf0\xe0\xe7"
    "\xf6\xe0 %s: \xf0\xe0\xe1\xee\xf7\xe0\xff \xef\xe0\xef\xea\xe0 \xe4\xe5\xeb\xe0\xe5\xf2\xf1"
    "\xff \xe2\xed\xe5 \xe5\xe3\xee";

// "Есть папка %s, чьё имя отличается от %s только регистром букв: назовите
// рабочую папку иначе"
constexpr const char* kCaseVariant =
    "\xc5\xf1\xf2\xfc \xef\xe0\xef\xea\xe0 %s, \xf7\xfc\xb8 \xe8\xec\xff \xee\xf2\xeb\xe8"
    "\xf7\xe0\xe5\xf2\xf1\xff \xee\xf2 %s \xf2\xee\xeb\xfc\xea\xee \xf0\xe5\xe3\xe8\xf1\xf2"
    "\xf0\xee\xec \xe1\xf3\xea\xe2: \xed\xe0\xe7\xee\xe2\xe8\xf2\xe5 \xf0\xe0\xe1\xee\xf7"
    "\xf3\xfe \xef\xe0\xef\xea\xf3 \xe8\xed\xe0\xf7\xe5";

std::string InstalledSample() {
  const std::string program = ProgramFolder();
  const size_t slash = program.find_last_of("\\/");
  return program.substr(0, slash == std::string::npos ? 0 : slash) + "/share/mytavex/sample";
}

// A path text with "/" for each "\", for comparing parts of paths.
std::string Slashed(std::string_view path) {
  std::string slashed(path);
  for (char& c : slashed)
    if (c == '\\') c = '/';
  return slashed;
}

// Whether a file of the sample (its path relative to the sample, "/"
// separated) is something a build of it made, or a hidden file.
bool IsLeftByBuilds(std::string_view relative, const std::set<std::string>& issue_folders) {
  size_t start = 0;
  for (;;) {
    const size_t slash = relative.find('/', start);
    if (relative[start] == '.') return true;  // hidden: a lock, a temporary, ...
    if (slash == std::string_view::npos) break;
    if (issue_folders.count(std::string(relative.substr(0, slash)))) return true;
    start = slash + 1;
  }
  const std::string extension = LowerCase(ExtensionOf(relative.substr(start)));
  return extension == ".chm" || extension == ".log";
}

// The sample's files worth copying, relative and "/" separated, in listing order.
std::vector<std::string> SampleFiles(std::string_view sample) {
  const std::string root = Slashed(sample);
  std::vector<std::string> files;
  std::set<std::string> issue_folders;
  WalkEntries(sample, {},
              [&](const std::string& path, const DirEntry& entry) {
                if (!entry.is_regular) return;
                std::string relative = Slashed(path).substr(root.size());
                while (!relative.empty() && relative[0] == '/') relative.erase(0, 1);
                if (entry.name == kIssueMarkFile) {
                  const size_t slash = relative.rfind('/');
                  issue_folders.insert(slash == std::string::npos ? "" : relative.substr(0, slash));
                }
                files.push_back(std::move(relative));
              },
              {});
  std::vector<std::string> kept;
  for (std::string& file : files)
    if (!IsLeftByBuilds(file, issue_folders)) kept.push_back(std::move(file));
  return kept;
}

// The last part of a path text.
std::string_view LastPart(std::string_view path) {
  while (!path.empty() && (path.back() == '/' || path.back() == '\\')) path.remove_suffix(1);
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// Refuses a folder that is not new or empty, or lies in the sample. A path
// text whose folder is missing reaches one whose name differs only in letter
// case (files.h), which would be filled instead of the one typed.
void CheckNewFolder(std::string_view sample, std::string_view folder) {
  const std::string real = RealPath(folder);
  if (LastPart(real) != LastPart(folder) && EqualsIgnoreCase(LastPart(real), LastPart(folder)))
    throw Failure(FillIn(kCaseVariant, {ShownPath(real), ShownPath(folder)}));
  if (FileExists(folder)) throw Failure(FillIn(kNotAFolder, {ShownPath(folder)}));
  if (FolderExists(folder) && !ListFolder(folder).empty())
    throw Failure(FillIn(kNotEmpty, {ShownPath(folder)}));
  if (IsWithinFolder(folder, sample))
    throw Failure(FillIn(kInsideSample, {ShownPath(folder), ShownPath(sample)}));
}

void MakeFolder(const std::string& folder) {
  if (FolderExists(folder)) return;
  errno = 0;
  if (!CreateFolder(folder)) throw CannotCreateFile(folder);
}

}  // namespace

std::string FindSampleFolder() {
  const std::string installed = InstalledSample();
  const std::string checkout = MYTAVEX_CHECKOUT_DATA;
  for (const std::string& place : {installed, checkout})
    if (FileExists(place + "/" + kSettingsFile)) return place;
  throw Failure(FillIn(kNoSample, {ShownPath(installed + "/" + kSettingsFile),
                                   ShownPath(checkout + "/" + kSettingsFile)}));
}

int MakeWorkingFolder(std::string_view sample, std::string_view folder) {
  CheckNewFolder(sample, folder);
  const std::vector<std::string> files = SampleFiles(sample);
  // Made one level at a time and held: every copy goes into that folder
  // through its handle, whatever happens to the names meanwhile.
  TResolvedFolder made = ResolveFolder(folder, true);
  if (!made.folder.held()) throw CannotCreateFile(folder, made.error);
  const FolderBinding bound(folder, &made.folder, LinkRule::Never);
  const std::string target = std::string(folder) + "/";
  for (const std::string& file : files) {
    for (size_t slash = file.find('/'); slash != std::string::npos;
         slash = file.find('/', slash + 1))
      MakeFolder(target + file.substr(0, slash));
    const std::string from = std::string(sample) + "/" + file;
    errno = 0;
    const std::optional<std::string> bytes = ReadFileBytes(from);
    if (!bytes) throw CannotOpenFile(from);
    if (!WriteFileNoReplace(target + file, *bytes)) throw CannotCreateFile(target + file);
  }
  return static_cast<int>(files.size());
}

}  // namespace tavex
