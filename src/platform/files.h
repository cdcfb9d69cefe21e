// Files and folders, addressed by the program's own path texts.
//
// A path text is Windows-1251 and uses "\" as its separator, as the settings
// and the editor type it; "/" works too. A name with characters the code page
// lacks is written with character references (name_text.h), so every name a
// folder lists has a text that leads back to exactly it. On POSIX the text is
// turned into a UTF-8 path, and when the exact path does not exist each
// component is looked up ignoring letter case (the build lower-cases article,
// picture and rule paths, which otherwise only works on a case-insensitive
// file system): a name of exactly the spelling asked for always wins, and
// among several other spellings the first in byte order. On Windows the text
// becomes a UTF-16 path for the wide API, "\" and drive letters as typed.
//
// While a run holds its folders (held_folder.h), every call given a text at
// or below a bound one reaches the held folder through its handle instead of
// by name, and writes elsewhere are refused.
//
// Listings come back sorted (by name with letter case folded, then by bytes),
// never in the file system's own order, so every run sees the same order.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavex {

struct DirEntry {
  std::string name;         // a path text (name_text.h)
  bool is_folder = false;   // a folder, or a link that leads to one
  bool is_link = false;     // the entry itself is a link (symbolic link, junction)
  bool is_regular = false;  // a regular file, or a link that leads to one
};

// The operating system's path for a path text (see above).
std::filesystem::path NativePath(std::string_view path);

// A path and its UTF-8 text, both ways, on every system: through char8_t, since
// what a plain narrow path holds differs between Windows compilers (the ANSI
// code page or UTF-8).
std::filesystem::path PathOfUtf8(std::string_view utf8);
std::string Utf8OfPath(const std::filesystem::path& path);

// Every entry of a folder, hidden ones included, without "." and "..".
// A folder that does not exist or cannot be read lists nothing.
std::vector<DirEntry> ListFolder(std::string_view folder);

bool FileExists(std::string_view path);    // exists and is not a folder
bool FolderExists(std::string_view path);  // exists and is a folder
bool CreateFolder(std::string_view path);  // false when it could not be made
// Deletes a file, or a link as a link (never what it leads to); never a folder.
// False when nothing was deleted.
bool RemoveFile(std::string_view path);
// Copies a file unless the target exists already; false when nothing was copied.
bool CopyFileNoReplace(std::string_view from, std::string_view to);

// The file's bytes, at most limit of them; nullopt when it cannot be read
// (errno tells why). Only a regular file is opened: a named pipe or a device
// is refused without opening it, so it can never hang the run.
std::optional<std::string> ReadFileBytes(std::string_view path, size_t limit = SIZE_MAX);

// Why ReadFileWithin gave no bytes.
enum class ReadRefusal {
  None,
  Unreadable,  // missing or unreadable (errno tells why)
  NotRegular,  // a folder, a named pipe, a device: never opened for reading
  Outside,     // the file opened lies outside the root folder
};
// Like ReadFileBytes, but the file is opened once and checked through the open
// handle: it must be a regular file whose real location (links resolved) lies
// inside root. A file swapped for a link to somewhere else between a check by
// name and the read cannot bring outside bytes in, since what is read is what
// was checked. root is compared as RealPath gives it.
std::optional<std::string> ReadFileWithin(std::string_view path, std::string_view root,
                                          size_t limit, ReadRefusal& refusal);

// Writes the bytes whole to a temporary file beside the target, then moves it
// over the target, so the target is never left cut short and two processes
// writing one file never share a temporary. The temporary is named
// "." + the name + ".mytavex-tmp-" + the process id + "-" + a counter: unique
// to this process and call, and a name no editor types. A replaced file keeps
// its permission bits. A target that is a link to a regular file (outside an
// issue tree) is written through: the file it leads to is replaced in its own
// folder and the link stays. False on failure (errno tells why), and then the
// target is untouched and no temporary is left. After a rewrite, stale
// temporaries beside the file are removed (see RemoveStaleTemporaries).
bool WriteFileWhole(std::string_view path, std::string_view bytes);
// Like WriteFileWhole, but never replaces: when the target exists the bytes are
// not placed and the answer is false (errno EEXIST). The target appears whole
// or not at all, also when the process is killed or the disk is full.
bool WriteFileNoReplace(std::string_view path, std::string_view bytes);
// Deletes the temporaries that writes of path by processes that no longer run
// left beside it (a killed run's): regular files whose name is exactly the
// temporary form above with the id of a process that is gone. Anything else,
// a running process's temporary included, stays.
void RemoveStaleTemporaries(std::string_view path);

// The real location of a path: absolute, "." and ".." resolved, links
// followed and letter case as the file system has it, as far as the parts
// exist; the missing rest as making it would give it (ResolveFolder in
// held_folder.h). Empty when it cannot be told. Two paths that name one place
// give the same text.
std::string RealPath(std::string_view path);

// Makes alias, a name in the same parent folder that differs from the folder's
// only in letter case, lead to the folder, so that references written with
// either spelling reach it on a file system that tells case apart. Does nothing
// when a file or folder of exactly that spelling exists (always the case on a
// file system that ignores case). False when the link could not be made.
bool LinkCaseVariant(std::string_view folder, std::string_view alias);

// What a folder's emptying could not empty: the entry's path text, and the
// system's reason (errno; 0: the entry is neither a regular file nor a link).
struct TEmptyingRefusal {
  std::string path;
  int error = 0;
};
// Removes every regular file and link (as a link) of folder, through the
// folder's descriptor. Every entry is looked at first: one of any other kind
// (a sub-folder, a named pipe, a device) refuses the whole emptying before
// anything is removed, since the program never puts such a thing there and
// cannot tell whose it is. An entry that cannot be removed (an immutable
// file) ends the emptying where it stands. A link is never followed, and an
// entry swapped for a folder meanwhile is refused, never entered.
// before_entry runs before each removal (the window's message pump; may be
// empty). Nothing when everything went.
std::optional<TEmptyingRefusal> EmptyFolder(std::string_view folder,
                                            const std::function<void()>& before_entry);
// EmptyFolder's look alone: the first entry it would refuse for its kind,
// with nothing removed, so that several folders are all looked at before any
// is emptied.
std::optional<TEmptyingRefusal> RefuseToEmpty(std::string_view folder);

// The path text without its last part (and the separators before it); "" for
// a text of one part, the root for a part right below it.
std::string ParentText(std::string_view path);

// The process's current folder as a path text.
std::string CurrentFolder();

// The extension of a file name, from its last "." on ("." included); empty
// when the name has none.
std::string_view ExtensionOf(std::string_view name);

// Calls on_file with the path text and entry of every file below folder (the
// folder's text, a "\" when it has no separator at its end, the name as
// listed), depth first in listing order: a sub-folder is searched where the
// listing meets it. before_entry runs before each entry is looked at (the
// window's message pump; may be empty). A link to a folder is searched like a
// folder when enter_link answers true for it, and otherwise handed to on_file
// as an entry (is_link and is_folder set); an empty enter_link enters none. A
// folder reached again through a link is searched only once, so a link back
// up the tree cannot make the walk endless.
using LinkFilter = std::function<bool(const std::string& path, const DirEntry& entry)>;
void WalkEntries(std::string_view folder, const std::function<void()>& before_entry,
                 const std::function<void(const std::string& path, const DirEntry& entry)>& on_file,
                 const LinkFilter& enter_link);
// WalkEntries following links, for callers that need only the names.
// on_folder (may be empty) gets the path text of every folder searched, folder
// itself first, each before its entries: what a caller must watch to know the
// walk's answer still holds.
void WalkFiles(std::string_view folder, const std::function<void()>& before_entry,
               const std::function<void(const std::string& path, std::string_view name)>& on_file,
               const std::function<void(const std::string& folder)>& on_folder = {});

// True when path lies inside folder or is the folder itself, after resolving
// "..", links and letter case as far as the parts exist.
bool IsWithinFolder(std::string_view path, std::string_view folder);

// The one character that separates the parts of a path as RealPath gives it:
// "/" on POSIX, where "\" may stand inside a name, and "\" on Windows.
extern const char kRealPathSeparator;

// True when real is top or lies inside it, both in RealPath's form; false when
// either is empty. Only whole parts match: "/a/b" holds "/a/b/c" but not
// "/a/bc". Separators at top's end are ignored, so "/a/b/" is "/a/b" and a
// root ("/", "C:\") holds every path on its system or drive.
bool RealPathWithin(std::string_view real, std::string_view top);

}  // namespace tavex
