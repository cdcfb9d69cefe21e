// The program's parts that need a library of their own come as plug-ins,
// loaded the first time a run needs one: the reader of page archives (GMime,
// and the GLib and GIO it pulls in) when a ".mht" or ".mhtml" page is met, the
// EPUB edition (libxml2, libzip) when a book is to be written. A run that
// needs neither never loads them, so a command that cleans one page starts in
// a few milliseconds instead of spending most of its time loading libraries.
//
// Each plug-in is a shared library in PlugInFolder (program_files.h) that
// exports one entry (extern "C"), called once after loading; it holds its own
// copy of the core and hands out objects of the interfaces the core defines.
// A plug-in that is missing, or cannot be loaded, fails the run that needs it
// with a message naming it; runs that do not need it go on as before.
#pragma once

#include <string>
#include <string_view>

#include "build/article_table.h"
#include "build/start_run.h"
#include "clean/page_archive.h"

namespace tavex {

// The plug-ins' names; PlugInFileName gives their file names.
inline constexpr const char* kArchivePlugIn = "mytavex-mhtml";
inline constexpr const char* kEpubPlugIn = "mytavex-epub";

// What the program hands the EPUB plug-in: its own file layer's whole-file
// write (files.h), for the book. The plug-in's copy of the core holds none of
// the folders the run resolved and bound (held_folder.h); through this the
// book goes into the issue folder through the run's own handle, as every
// other file of the issue does.
struct TEpubHost {
  bool (*write_file_whole)(std::string_view path, std::string_view bytes);
};

// What the EPUB plug-in hands out: the book writer (an IssueEdition) and the
// path of the book it writes for an issue.
struct TEpubPlugIn {
  void (*write)(MainWindow& window, const TIssueFacts& issue, const ArticleTable& table);
  std::string (*book_path)(const TIssueFacts& issue);
};

// The entries the plug-ins export. The number is the interfaces' version: a
// plug-in built for other interfaces lacks the name, and is refused rather
// than called wrongly. Raise it whenever PageArchiveReader, TPageArchive,
// TEpubPlugIn or what they take changes.
inline constexpr const char* kArchiveReaderEntry = "mytavex_archive_reader_v1";
inline constexpr const char* kEpubEntry = "mytavex_epub_edition_v2";
using ArchiveReaderEntry = const PageArchiveReader* (*)();
using EpubEntry = const TEpubPlugIn* (*)(const TEpubHost* host);

// The path text of the plug-in called name (PlugInFolder + its file name).
std::string PlugInPath(std::string_view name);

// The entry called entry of the plug-in called name, loading the plug-in on
// the first call. A plug-in that cannot be loaded, or lacks the entry, throws
// Failure: "Не загружен модуль NAME (PURPOSE)" and, on a second line, its path
// and why. purpose is Windows-1251. Another call tries again.
void* PlugInEntry(std::string_view name, const char* entry, std::string_view purpose);

// Plugs in a page-archive reader (UsePageArchiveReader) that loads the
// archive plug-in when the first archive is parsed.
void UseArchiveReaderPlugIn();

// The EPUB edition for StartRun: loads the EPUB plug-in when the first book
// is to be written.
IssueEdition EpubEditionPlugIn();
// The path text of the book the EPUB edition writes for the issue; loads the
// plug-in, so ask only when a book was to be made.
std::string EpubBookPath(const TIssueFacts& issue);

// One line for --version, Windows-1251, without its end: "модуль: PATH" when
// the plug-in's file is there, "модуль не найден: PATH" otherwise. Looks at
// the file only; nothing is loaded.
std::string PlugInStateText(std::string_view name);

}  // namespace tavex
