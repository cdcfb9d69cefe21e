// Folders resolved once and held open, and the path texts bound to them.
//
// A check by name and a write by name can reach two different folders: a
// name may be swapped for a link in between, ".." may be read lexically by
// one and through a link by the other, a missing level may be made between
// them. A build therefore resolves every folder it touches once, on the real
// file system, holds each open (a directory descriptor on POSIX, a handle on
// Windows), compares those, and binds the texts it will use to them: from then
// on every call of the file layer (files.h) given a path text at or below a
// bound text reaches the held folder through its handle, and the rest of the
// path is looked up from there, never again from the name. What was checked
// is what is read, written, moved and removed, whatever happens to the names
// meanwhile.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tavex {

// An open folder. Move-only; closed when it goes.
class HeldFolder {
 public:
  HeldFolder() = default;
  ~HeldFolder();
  HeldFolder(HeldFolder&& other) noexcept;
  HeldFolder& operator=(HeldFolder&& other) noexcept;
  HeldFolder(const HeldFolder&) = delete;
  HeldFolder& operator=(const HeldFolder&) = delete;

  bool held() const { return handle_ != kNone; }
  // The folder's real location in RealPath's form (files.h), as it was when
  // the folder was opened.
  const std::string& real() const { return real_; }
  // The system's handle, for the platform layer only.
  intptr_t handle() const { return handle_; }

  static constexpr intptr_t kNone = -1;
  // Takes over an open handle of the platform layer.
  HeldFolder(intptr_t handle, std::string real) : handle_(handle), real_(std::move(real)) {}

 private:
  intptr_t handle_ = kNone;
  std::string real_;
};

// Where a path text leads, resolved on the real file system one part at a
// time from the file system's root (or the current folder, for a relative
// text): each existing part is opened (a link followed, letter case as the
// folder has it when no part of exactly that spelling exists), ".." leads to
// the real parent of what was reached so far, "." and empty parts (doubled or
// trailing separators) are nothing. Once a part does not exist, the rest is
// what making it would give: ".." after a missing part leads back to that
// part's parent, and the missing parts are named as typed.
struct TResolvedFolder {
  HeldFolder folder;     // held when the whole path exists (or was made) as a folder
  std::string real;      // the real location, the missing parts appended as typed
  bool missing = false;  // some part does not exist (and was not made)
  int error = 0;         // why the folder is not held: errno (ENOTDIR: a part is a file)
};

// With make_missing, the missing parts are made one level at a time, each
// made under the folder already opened and then opened itself (a link that
// appeared in its place is refused, never followed), so the result is held
// unless a level could not be made.
TResolvedFolder ResolveFolder(std::string_view path, bool make_missing);

// The folder a path text reaches now (through its binding, when it has one),
// held; not held when there is none.
HeldFolder HoldFolder(std::string_view path);

// The real location of the file named by a path text when it is (or a link
// leads to) a regular file: its folder held open and its own name there.
// Nothing when there is no such file.
struct TResolvedFile {
  HeldFolder folder;
  std::string name;  // the file's name in folder, as a path text
};
std::optional<TResolvedFile> ResolveFile(std::string_view path);

// What the file layer may do with links below a bound text.
enum class LinkRule {
  Never,     // an issue tree of the program's own: no part of the rest may be
             // a link, and ".." is refused; a link is only ever removed or
             // replaced as an entry
  Followed,  // the editor's folders: links are followed as the system follows
             // them (reads that must stay inside a folder check the file
             // they opened, see ReadFileWithin)
};

// While a binding lives, every path text that equals typed or starts with it
// and a separator (both compared with "\" and "/" alike, repeated separators
// as one, "." parts dropped) reaches folder: the rest of the text is looked up
// from its handle under links' rule. An empty typed binds the relative texts
// (the working folder). With folder null the text names nothing: every call
// below it finds nothing and writes nothing, so a folder that was missing when
// the run checked cannot be made to count later. A binding for a file
// (BindFile) maps one exact text to a name in a held folder: the contents file
// that is a link to another project's file is written where it really is.
// Among bindings that match, the longest text wins. While any binding lives,
// a write, removal or folder creation given a text that no binding matches is
// refused (errno EACCES): a run writes only where it checked. Bindings belong
// to the thread that runs the build; they must outlive no folder they name.
class FolderBinding {
 public:
  FolderBinding(std::string_view typed, const HeldFolder* folder, LinkRule links);
  // A binding of one file: typed names file.name in file.folder (kept alive by
  // the caller).
  static FolderBinding BindFile(std::string_view typed, const TResolvedFile& file);
  ~FolderBinding();
  FolderBinding(FolderBinding&& other) noexcept;
  FolderBinding& operator=(FolderBinding&&) = delete;
  FolderBinding(const FolderBinding&) = delete;
  FolderBinding& operator=(const FolderBinding&) = delete;

 private:
  FolderBinding() = default;
  int id_ = -1;
};

// The user's home folder in RealPath's form; empty when it cannot be told.
std::string HomeFolder();
// True when a real location (RealPath's form) is the root of its file system
// or of a drive ("/", "C:\", "\\server\share\").
bool IsFileSystemRoot(std::string_view real);

}  // namespace tavex
