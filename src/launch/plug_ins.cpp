#include "launch/plug_ins.h"

#include "platform/failure.h"
#include "platform/files.h"
#include "platform/program_files.h"
#include "platform/shown_path.h"
#include "platform/text.h"

namespace tavex {
namespace {

// "Не загружен модуль %s (%s)"
constexpr const char* kNotLoaded =
    "\xcd\xe5 \xe7\xe0\xe3\xf0\xf3\xe6\xe5\xed \xec\xee\xe4\xf3\xeb\xfc %s (%s)";
// "в модуле нет входа %s: он другой версии, чем программа"
constexpr const char* kNoEntry =
    "\xe2 \xec\xee\xe4\xf3\xeb\xe5 \xed\xe5\xf2 \xe2\xf5\xee\xe4\xe0 %s: \xee\xed \xe4\xf0\xf3\xe3"
    "\xee\xe9 \xe2\xe5\xf0\xf1\xe8\xe8, \xf7\xe5\xec \xef\xf0\xee\xe3\xf0\xe0\xec\xec\xe0";
// "чтение страниц-архивов .mht и .mhtml"
constexpr const char* kArchivePurpose =
    "\xf7\xf2\xe5\xed\xe8\xe5 \xf1\xf2\xf0\xe0\xed\xe8\xf6-\xe0\xf0\xf5\xe8\xe2\xee\xe2 .mht \xe8 "
    ".mhtml";
// "издание EPUB"
constexpr const char* kEpubPurpose = "\xe8\xe7\xe4\xe0\xed\xe8\xe5 EPUB";
// "модуль: %s"
constexpr const char* kPlugInThere = "\xec\xee\xe4\xf3\xeb\xfc: %s";
// "модуль не найден: %s"
constexpr const char* kPlugInMissing =
    "\xec\xee\xe4\xf3\xeb\xfc \xed\xe5 \xed\xe0\xe9\xe4\xe5\xed: %s";

// The page-archive reader that stands in for the plug-in's until an archive
// is met. A plug-in that cannot be loaded fails that page's run.
class PlugInArchiveReader : public PageArchiveReader {
 public:
  std::optional<TPageArchive> Parse(std::string_view bytes) const override {
    // Loaded once; a failed load throws and is tried again at the next archive.
    static const PageArchiveReader* const reader = reinterpret_cast<ArchiveReaderEntry>(
        PlugInEntry(kArchivePlugIn, kArchiveReaderEntry, kArchivePurpose))();
    return reader->Parse(bytes);
  }
};

const TEpubPlugIn& EpubPlugIn() {
  static const TEpubHost host{&WriteFileWhole};
  static const TEpubPlugIn* const plug_in =
      reinterpret_cast<EpubEntry>(PlugInEntry(kEpubPlugIn, kEpubEntry, kEpubPurpose))(&host);
  return *plug_in;
}

}  // namespace

std::string PlugInPath(std::string_view name) {
  const std::string folder = PlugInFolder();
  return folder.empty() ? PlugInFileName(name) : folder + "/" + PlugInFileName(name);
}

void* PlugInEntry(std::string_view name, const char* entry, std::string_view purpose) {
  const std::string path = PlugInPath(name);
  auto fail = [&](std::string_view reason) {
    return Failure(FillIn(kNotLoaded, {name, purpose}) + "\n" + ShownPath(path) + ": " +
                   std::string(reason));
  };
  std::string reason;
  void* library = LoadSharedLibrary(path, reason);
  if (!library) throw fail(reason);
  void* address = FindLibrarySymbol(library, entry);
  if (!address) throw fail(FillIn(kNoEntry, {entry}));
  return address;
}

void UseArchiveReaderPlugIn() {
  static const PlugInArchiveReader reader;
  UsePageArchiveReader(&reader);
}

IssueEdition EpubEditionPlugIn() {
  return [](MainWindow& window, const TIssueFacts& issue, const ArticleTable& table) {
    EpubPlugIn().write(window, issue, table);
  };
}

std::string EpubBookPath(const TIssueFacts& issue) {
  return EpubPlugIn().book_path(issue);
}

std::string PlugInStateText(std::string_view name) {
  const std::string path = PlugInPath(name);
  return FillIn(FileExists(path) ? kPlugInThere : kPlugInMissing, {ShownPath(path)});
}

}  // namespace tavex
