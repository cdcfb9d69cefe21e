// The file layer on POSIX. Every call first finds its place: a folder's
// descriptor and a name in it. Below a bound text (held_folder.h) the folder
// is reached from the binding's descriptor, part by part; elsewhere the place
// is the whole UTF-8 path from the current folder. Names are path texts
// turned into UTF-8 (name_text.h); a name missing as typed is looked up among
// its folder's entries ignoring letter case. Every file is then opened,
// checked, written and moved relative to that descriptor.
#include <dirent.h>
#include <fcntl.h>
#include <linux/openat2.h>
#include <pwd.h>
#include <signal.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <map>
#include <unordered_map>

#include "platform/bound_paths.h"
#include "platform/files.h"
#include "platform/folder_lock.h"
#include "platform/name_text.h"
#include "platform/temporary_name.h"
#include "platform/text.h"

namespace fs = std::filesystem;

namespace tavex {

const char kRealPathSeparator = '/';

bool IsRootedText(std::string_view path) {
  return !path.empty() && (path.front() == '/' || path.front() == '\\');
}

namespace {

// A path text as a UTF-8 path with "/" separators, each name decoded.
std::string NativeText(std::string_view path) {
  std::string native = Utf8OfNameText(path);
  std::replace(native.begin(), native.end(), '\\', '/');
  return native;
}

bool SameTime(const struct timespec& a, const struct timespec& b) {
  return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// A descriptor that closes itself.
class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(Fd&& other) noexcept : fd_(other.release()) {}
  Fd& operator=(Fd&& other) noexcept {
    if (this != &other) {
      if (fd_ >= 0) ::close(fd_);
      fd_ = other.release();
    }
    return *this;
  }
  int get() const { return fd_; }
  int release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_;
};

// The names of folders by their folded form, for the case-insensitive lookup,
// kept per folder (its device and inode) while the folder's modification time
// stays the same, so a build that creates thousands of pages in one folder
// does not list it once per page; the names this process adds and removes
// are put in and taken out as it goes. Only names that lead somewhere are
// kept: a dangling link never stands in for a missing file or folder.
class FolderNames {
 public:
  // The entry of the folder open at dir whose folded name is that of name
  // (UTF-8); the first in byte order among several.
  std::optional<std::string> Find(int dir, const std::string& name) {
    struct stat st;
    if (::fstat(dir, &st) != 0 || !S_ISDIR(st.st_mode)) return std::nullopt;
    Listing& listing = listings_[Key(st)];
    if (!listing.valid || !SameTime(listing.mtime, st.st_mtim)) Relist(dir, st, listing);
    auto it = listing.by_folded.find(Folded(name));
    if (it == listing.by_folded.end()) return std::nullopt;
    return it->second;
  }

  // A name this process just made in the folder open at dir.
  void Added(int dir, const std::string& name) {
    struct stat st;
    Listing* listing = Kept(dir, st);
    if (!listing) return;
    auto [slot, added] = listing->by_folded.try_emplace(Folded(name), name);
    if (!added && name < slot->second) slot->second = name;
    listing->mtime = st.st_mtim;
  }

  // A name this process just removed from the folder open at dir.
  void Removed(int dir, const std::string& name) {
    struct stat st;
    Listing* listing = Kept(dir, st);
    if (!listing) return;
    auto slot = listing->by_folded.find(Folded(name));
    // Another spelling of the same folded name may remain: list again then.
    if (slot != listing->by_folded.end() && slot->second != name) {
      listing->valid = false;
      return;
    }
    if (slot != listing->by_folded.end()) listing->by_folded.erase(slot);
    listing->mtime = st.st_mtim;
  }

 private:
  struct Listing {
    bool valid = false;
    struct timespec mtime {};
    std::unordered_map<std::string, std::string> by_folded;  // first name in byte order
  };

  static std::pair<dev_t, ino_t> Key(const struct stat& st) { return {st.st_dev, st.st_ino}; }
  static std::string Folded(const std::string& utf8) { return LowerCase(NameTextOfUtf8(utf8)); }

  Listing* Kept(int dir, struct stat& st) {
    if (::fstat(dir, &st) != 0) return nullptr;
    auto it = listings_.find(Key(st));
    if (it == listings_.end() || !it->second.valid) return nullptr;
    return &it->second;
  }

  static void Relist(int dir, const struct stat& st, Listing& listing) {
    listing.by_folded.clear();
    listing.mtime = st.st_mtim;
    listing.valid = true;
    const int own = ::openat(dir, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (own < 0) return;
    DIR* stream = ::fdopendir(own);
    if (!stream) {
      ::close(own);
      return;
    }
    while (const dirent* entry = ::readdir(stream)) {
      const std::string name = entry->d_name;
      if (name == "." || name == "..") continue;
      if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
        struct stat target;
        if (::fstatat(dir, name.c_str(), &target, 0) != 0) continue;
      }
      auto [slot, added] = listing.by_folded.try_emplace(Folded(name), name);
      if (!added && name < slot->second) slot->second = name;
    }
    ::closedir(stream);
  }

  std::map<std::pair<dev_t, ino_t>, Listing> listings_;
};

FolderNames& Names() {
  static FolderNames names;
  return names;
}

// Where a call lands: the folder open at dir (AT_FDCWD: the current folder)
// and a name in it, UTF-8. Outside every binding the name is the whole path.
struct Place {
  Fd own;  // dir, when this place opened it
  int dir = AT_FDCWD;
  std::string name;          // "." for the folder dir itself
  bool never_links = false;  // below an issue tree: the entry is never followed
  bool missing = false;      // the lookup found that nothing has this name
  int error = 0;             // nonzero: the place cannot be reached (errno)
  bool reached() const { return error == 0; }
};

// The path's parent and last part, split at its last "/" (none: ".").
std::pair<std::string, std::string> SplitLast(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return {".", path};
  return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

// Opens the folder part under dir: the exact name first, then a spelling that
// differs only in letter case. never: a link is refused (ELOOP), never
// followed. -1 with errno set when there is none.
int OpenPart(int dir, const std::string& part, bool never) {
  const int flags = O_DIRECTORY | O_CLOEXEC | (never ? O_RDONLY | O_NOFOLLOW : O_PATH);
  int fd = ::openat(dir, part.c_str(), flags);
  if (fd >= 0 || errno != ENOENT) return fd;
  const auto found = Names().Find(dir, part);
  if (!found) {
    errno = ENOENT;
    return -1;
  }
  return ::openat(dir, found->c_str(), flags);
}

// The name under dir as the folder spells it: the exact name when something
// has it, else a spelling that differs only in case; missing is set when
// neither exists.
std::string SpelledName(int dir, const std::string& name, bool& missing) {
  struct stat st;
  missing = false;
  if (::fstatat(dir, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) return name;
  if (auto found = Names().Find(dir, name)) return *found;
  missing = true;
  return name;
}

// openat2 with RESOLVE_BENEATH and RESOLVE_NO_SYMLINKS, where the kernel has
// it: the folders of a rest of parts in one call, no link and no way out.
// -1 with errno ENOSYS where it has not.
int OpenBeneath(int dir, const std::string& rest) {
  static bool available = true;
  if (!available) {
    errno = ENOSYS;
    return -1;
  }
  struct open_how how {};
  how.flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
  how.resolve = RESOLVE_BENEATH | RESOLVE_NO_SYMLINKS;
  const int fd = static_cast<int>(::syscall(SYS_openat2, dir, rest.c_str(), &how, sizeof how));
  if (fd < 0 && (errno == ENOSYS || errno == EPERM)) available = false;  // EPERM: a seccomp filter
  return fd;
}

// The folder that the parts [0, count) of rest lead to from dir, opened;
// place.error set when it cannot be reached.
void OpenFolders(int dir, const std::vector<std::string>& rest, size_t count, bool never,
                 Place& place) {
  int current = dir;
  Fd held;
  if (never && count > 0) {
    // One call for the usual case: every part exists as typed.
    std::string joined;
    for (size_t i = 0; i < count; ++i) {
      if (rest[i] == "..") {
        place.error = EACCES;
        return;
      }
      if (i) joined += '/';
      joined += Utf8OfNameText(rest[i]);
    }
    const int fd = OpenBeneath(dir, joined);
    if (fd >= 0) {
      place.own = Fd(fd);
      place.dir = fd;
      return;
    }
    if (errno != ENOENT && errno != ENOSYS) {
      place.error = errno;
      return;
    }
  }
  for (size_t i = 0; i < count; ++i) {
    const std::string part = Utf8OfNameText(rest[i]);
    if (never && part == "..") {
      place.error = EACCES;
      return;
    }
    const int fd = part == ".." ? ::openat(current, "..", O_PATH | O_DIRECTORY | O_CLOEXEC)
                                : OpenPart(current, part, never);
    if (fd < 0) {
      place.error = errno;
      return;
    }
    held = Fd(fd);
    current = fd;
  }
  if (held.get() >= 0) {
    place.own = std::move(held);
    place.dir = place.own.get();
  } else {
    place.dir = current;
  }
}

// The place of a path text under its binding.
void BoundPlace(const TBoundPath& bound, Place& place) {
  const TBinding& binding = *bound.binding;
  if (!binding.folder) {
    place.error = ENOENT;
    return;
  }
  const int root = static_cast<int>(binding.folder->handle());
  place.never_links = binding.links == LinkRule::Never;
  if (!binding.file_name.empty()) {
    place.dir = root;
    place.name = Utf8OfNameText(binding.file_name);
    return;
  }
  if (bound.rest.empty()) {
    place.dir = root;
    place.name = ".";
    return;
  }
  OpenFolders(root, bound.rest, bound.rest.size() - 1, place.never_links, place);
  if (!place.reached()) return;
  const std::string last = Utf8OfNameText(bound.rest.back());
  if (last == "..") {
    if (place.never_links) {
      place.error = EACCES;
      return;
    }
    place.name = "..";
    return;
  }
  place.name = SpelledName(place.dir, last, place.missing);
}

// The place of a path text outside every binding: the whole path from the
// current folder, a missing name replaced by its case variant. Costs one lstat
// when the path exists as typed.
void FreePlace(std::string_view path, Place& place) {
  std::string native = NativeText(path);
  while (native.size() > 1 && native.back() == '/') native.pop_back();
  struct stat st;
  place.dir = AT_FDCWD;
  if (native.empty() || ::lstat(native.c_str(), &st) == 0) {
    place.name = native.empty() ? "." : native;
    return;
  }
  // Part by part from the first one that is missing as typed.
  const bool rooted = native.front() == '/';
  std::vector<std::string> parts;
  for (const std::string& part : PathParts(native)) parts.push_back(NameTextOfUtf8(part));
  if (parts.empty()) {
    place.name = native;
    return;
  }
  Fd start(::open(rooted ? "/" : ".", O_PATH | O_DIRECTORY | O_CLOEXEC));
  if (start.get() < 0) {
    place.error = errno;
    return;
  }
  Place inner;
  OpenFolders(start.get(), parts, parts.size() - 1, false, inner);
  if (!inner.reached()) {
    // A missing folder: the name stays as typed, and the call finds nothing.
    place.name = native;
    place.missing = inner.error == ENOENT;
    return;
  }
  const std::string last = Utf8OfNameText(parts.back());
  if (inner.dir == start.get()) {
    place.own = std::move(start);
    place.dir = place.own.get();
  } else {
    place.own = std::move(inner.own);
    place.dir = place.own.get();
  }
  place.name = last == ".." ? last : SpelledName(place.dir, last, place.missing);
}

// Where a call given this path text lands. for_change: the call writes,
// moves or removes, which is refused outside every binding while a run holds
// some.
Place PlaceOf(std::string_view path, bool for_change = false) {
  Place place;
  const TBoundPath bound = FindBinding(path);
  if (bound.binding) {
    BoundPlace(bound, place);
  } else if (for_change && AnyBinding()) {
    place.error = EACCES;
  } else {
    FreePlace(path, place);
  }
  return place;
}

// stat of what a place's name leads to (lstat below an issue tree).
bool StatAt(const Place& place, struct stat& st) {
  return ::fstatat(place.dir, place.name.c_str(), &st,
                   place.never_links ? AT_SYMLINK_NOFOLLOW : 0) == 0;
}

bool LessByName(const DirEntry& a, const DirEntry& b) {
  std::string la = LowerCase(a.name), lb = LowerCase(b.name);
  if (la != lb) return la < lb;
  return a.name < b.name;
}

// Opens a place for reading only when it is a regular file: O_NONBLOCK keeps
// the open of a named pipe from waiting for a writer, and fstat then refuses
// anything that is not a regular file. -1 with errno set otherwise; size gets
// the file's size in bytes as fstat found it.
int OpenRegular(const Place& place, ReadRefusal& refusal, off_t& size) {
  if (!place.reached() || place.missing) {
    errno = place.reached() ? ENOENT : place.error;
    refusal = ReadRefusal::Unreadable;
    return -1;
  }
  const int fd =
      ::openat(place.dir, place.name.c_str(),
               O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY | (place.never_links ? O_NOFOLLOW : 0));
  if (fd < 0) {
    refusal = errno == ELOOP ? ReadRefusal::NotRegular : ReadRefusal::Unreadable;
    return -1;
  }
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    refusal = ReadRefusal::NotRegular;
    errno = EISDIR;
    return -1;
  }
  refusal = ReadRefusal::None;
  size = st.st_size;
  return fd;
}

// Reads fd to its end or limit bytes and closes it; size (from the open's
// fstat) only reserves room, so a file that grows while read is still read.
std::optional<std::string> ReadAll(int fd, size_t limit, off_t size) {
  std::string bytes;
  if (size > 0) bytes.reserve(std::min(limit, static_cast<size_t>(size)));
  char buffer[1 << 16];
  while (bytes.size() < limit) {
    const size_t want = std::min(sizeof buffer, limit - bytes.size());
    const ssize_t got = ::read(fd, buffer, want);
    if (got < 0) {
      if (errno == EINTR) continue;
      const int saved = errno;
      ::close(fd);
      errno = saved;
      return std::nullopt;
    }
    if (got == 0) break;
    bytes.append(buffer, static_cast<size_t>(got));
  }
  ::close(fd);
  return bytes;
}

// The real location of an open descriptor, or empty.
std::string DescriptorPath(int fd) {
  char link[64];
  std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  char target[4096];
  const ssize_t n = ::readlink(link, target, sizeof target);
  if (n <= 0 || static_cast<size_t>(n) >= sizeof target) return {};
  return NameTextOfUtf8(std::string_view(target, static_cast<size_t>(n)));
}

// The real location of a place's folder, or empty.
std::string FolderPathOf(const Place& place) {
  if (place.dir != AT_FDCWD) return DescriptorPath(place.dir);
  Fd here(::open(".", O_PATH | O_DIRECTORY | O_CLOEXEC));
  return here.get() < 0 ? std::string() : DescriptorPath(here.get());
}

// A temporary name beside name (its last part, under the same folder); see
// temporary_name.h.
std::string TemporaryFor(const std::string& name) {
  static std::atomic<unsigned> counter{0};
  const auto [folder, last] = SplitLast(name);
  const std::string temp = TemporaryName(last, static_cast<unsigned long>(::getpid()), counter++);
  return name.find('/') == std::string::npos ? temp : (folder == "/" ? "/" : folder + "/") + temp;
}

bool WriteAllTo(int fd, std::string_view bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (put < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(put);
  }
  return true;
}

// Writes the bytes to a fresh temporary beside the place's name, with the
// given mode; the temporary's name under place.dir, or empty with errno set
// (and nothing left behind).
std::string WriteTemporary(const Place& place, std::string_view bytes, mode_t mode,
                           bool keep_mode) {
  const std::string temp = TemporaryFor(place.name);
  const int fd =
      ::openat(place.dir, temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
  if (fd < 0) return {};
  bool ok = (!keep_mode || ::fchmod(fd, mode) == 0) && WriteAllTo(fd, bytes);
  int saved = errno;
  if (::close(fd) != 0 && ok) {
    ok = false;
    saved = errno;
  }
  if (!ok) {
    ::unlinkat(place.dir, temp.c_str(), 0);
    errno = saved;
    return {};
  }
  return temp;
}

bool Fail(const Place& place, const std::string& temp) {
  const int saved = errno;
  ::unlinkat(place.dir, temp.c_str(), 0);
  errno = saved;
  return false;
}

// The folder open at a place and the last part of its name, for the name
// cache: a place outside every binding names its folder by path.
template <typename Note>
void NoteChange(const Place& place, Note note) {
  if (place.name.find('/') == std::string::npos) {
    note(place.dir, place.name);
    return;
  }
  const auto [folder, last] = SplitLast(place.name);
  Fd dir(::openat(place.dir, folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
  if (dir.get() >= 0) note(dir.get(), last);
}

void NoteAdded(const Place& place) {
  NoteChange(place, [](int dir, const std::string& name) { Names().Added(dir, name); });
}

void NoteRemoved(const Place& place) {
  NoteChange(place, [](int dir, const std::string& name) { Names().Removed(dir, name); });
}

// A place whose name is a link to a regular file, outside an issue tree: the
// place of the file it leads to, so that a rewrite goes to that file and the
// link stays. Unchanged otherwise.
void FollowLinkToFile(Place& place) {
  struct stat own, leads;
  if (place.never_links || place.missing ||
      ::fstatat(place.dir, place.name.c_str(), &own, AT_SYMLINK_NOFOLLOW) != 0 ||
      !S_ISLNK(own.st_mode) || ::fstatat(place.dir, place.name.c_str(), &leads, 0) != 0 ||
      !S_ISREG(leads.st_mode))
    return;
  Fd file(::openat(place.dir, place.name.c_str(), O_PATH | O_CLOEXEC));
  if (file.get() < 0) return;
  const std::string real = DescriptorPath(file.get());
  if (real.empty()) return;
  place.own = Fd();
  place.dir = AT_FDCWD;
  place.name = Utf8OfNameText(real);
}

// Removes the temporaries of a place's name that processes which no longer
// run left beside it.
void RemoveStaleTemporariesAt(const Place& place) {
  const auto [folder, name] = SplitLast(place.name);
  const int listed =
      ::openat(place.dir, place.name.find('/') == std::string::npos ? "." : folder.c_str(),
               O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (listed < 0) return;
  DIR* stream = ::fdopendir(listed);
  if (!stream) {
    ::close(listed);
    return;
  }
  std::vector<std::string> stale;
  while (const dirent* entry = ::readdir(stream)) {
    const auto pid = TemporaryProcess(entry->d_name, name);
    if (pid && *pid > 0 && ::kill(static_cast<pid_t>(*pid), 0) != 0 && errno == ESRCH)
      stale.emplace_back(entry->d_name);
  }
  for (const std::string& temp : stale) {
    struct stat st;
    // Only a regular file of that name is a temporary of ours.
    if (::fstatat(dirfd(stream), temp.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISREG(st.st_mode))
      ::unlinkat(dirfd(stream), temp.c_str(), 0);
  }
  ::closedir(stream);
}

// The entries of the folder open at fd (closed here), sorted.
std::vector<DirEntry> ListOpenFolder(int fd) {
  std::vector<DirEntry> entries;
  DIR* stream = ::fdopendir(fd);
  if (!stream) {
    ::close(fd);
    return entries;
  }
  while (const dirent* raw = ::readdir(stream)) {
    const std::string name = raw->d_name;
    if (name == "." || name == "..") continue;
    DirEntry entry;
    entry.name = NameTextOfUtf8(name);
    unsigned char type = raw->d_type;
    struct stat st;
    if (type == DT_UNKNOWN && ::fstatat(fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0)
      type = S_ISLNK(st.st_mode)   ? DT_LNK
             : S_ISDIR(st.st_mode) ? DT_DIR
             : S_ISREG(st.st_mode) ? DT_REG
                                   : DT_FIFO;
    entry.is_link = type == DT_LNK;
    if (entry.is_link) {
      if (::fstatat(fd, name.c_str(), &st, 0) == 0) {
        entry.is_folder = S_ISDIR(st.st_mode);
        entry.is_regular = S_ISREG(st.st_mode);
      }
    } else {
      entry.is_folder = type == DT_DIR;
      entry.is_regular = type == DT_REG;
    }
    entries.push_back(std::move(entry));
  }
  ::closedir(stream);
  std::sort(entries.begin(), entries.end(), LessByName);
  return entries;
}

// Opens the folder at a place for listing; -1 with errno set.
int OpenFolderAt(const Place& place) {
  if (!place.reached()) {
    errno = place.error;
    return -1;
  }
  return ::openat(place.dir, place.name.c_str(),
                  O_RDONLY | O_DIRECTORY | O_CLOEXEC | (place.never_links ? O_NOFOLLOW : 0));
}

}  // namespace

fs::path NativePath(std::string_view path) {
  const Place place = PlaceOf(path);
  if (place.dir == AT_FDCWD) return fs::path(place.name);
  // Below a binding the path the handle reached stands for it.
  const std::string folder = Utf8OfNameText(FolderPathOf(place));
  return place.name == "." ? fs::path(folder) : fs::path(folder) / place.name;
}

std::vector<DirEntry> ListFolder(std::string_view folder) {
  const Place place = PlaceOf(folder);
  const int fd = OpenFolderAt(place);
  if (fd < 0) return {};
  return ListOpenFolder(fd);
}

bool FileExists(std::string_view path) {
  const Place place = PlaceOf(path);
  struct stat st;
  return place.reached() && !place.missing && StatAt(place, st) && !S_ISDIR(st.st_mode);
}

bool FolderExists(std::string_view path) {
  const Place place = PlaceOf(path);
  struct stat st;
  return place.reached() && !place.missing && StatAt(place, st) && S_ISDIR(st.st_mode);
}

bool CreateFolder(std::string_view path) {
  const Place place = PlaceOf(path, true);
  if (!place.reached()) {
    errno = place.error;
    return false;
  }
  if (::mkdirat(place.dir, place.name.c_str(), 0777) != 0) return false;
  NoteAdded(place);
  return true;
}

bool RemoveFile(std::string_view path) {
  const Place place = PlaceOf(path, true);
  if (!place.reached()) {
    errno = place.error;
    return false;
  }
  // Linux's unlink refuses a folder (EISDIR), even for root, so no lstat first.
  if (::unlinkat(place.dir, place.name.c_str(), 0) != 0) return false;
  NoteRemoved(place);
  return true;
}

bool CopyFileNoReplace(std::string_view from, std::string_view to) {
  const auto bytes = ReadFileBytes(from);
  return bytes && WriteFileNoReplace(to, *bytes);
}

std::optional<std::string> ReadFileBytes(std::string_view path, size_t limit) {
  ReadRefusal refusal;
  off_t size = 0;
  const Place place = PlaceOf(path);
  const int fd = OpenRegular(place, refusal, size);
  if (fd < 0) return std::nullopt;
  return ReadAll(fd, limit, size);
}

std::optional<std::string> ReadFileWithin(std::string_view path, std::string_view root,
                                          size_t limit, ReadRefusal& refusal) {
  off_t size = 0;
  const Place place = PlaceOf(path);
  const int fd = OpenRegular(place, refusal, size);
  if (fd < 0) return std::nullopt;
  if (!RealPathWithin(DescriptorPath(fd), RealPath(root))) {
    ::close(fd);
    refusal = ReadRefusal::Outside;
    errno = EACCES;
    return std::nullopt;
  }
  auto bytes = ReadAll(fd, limit, size);
  if (!bytes) refusal = ReadRefusal::Unreadable;
  return bytes;
}

bool WriteFileWhole(std::string_view path, std::string_view bytes) {
  Place place = PlaceOf(path, true);
  if (!place.reached()) {
    errno = place.error;
    return false;
  }
  FollowLinkToFile(place);
  // A new file: the lookup already found no such name, and a second look in
  // a folder of thousands of pages would cost a directory search per page.
  struct stat st;
  const bool existed = !place.missing && StatAt(place, st);
  if (existed && S_ISDIR(st.st_mode)) {
    errno = EISDIR;
    return false;
  }
  const std::string temp = WriteTemporary(place, bytes, existed ? st.st_mode & 07777 : 0,
                                          existed && S_ISREG(st.st_mode));
  if (temp.empty()) return false;
  if (::renameat(place.dir, temp.c_str(), place.dir, place.name.c_str()) != 0)
    return Fail(place, temp);
  NoteAdded(place);
  // A file that is rewritten (settings, contents, the navigation page) may
  // have a killed run's temporary beside it; a new file has none to look for.
  if (existed) RemoveStaleTemporariesAt(place);
  return true;
}

bool WriteFileNoReplace(std::string_view path, std::string_view bytes) {
  const Place place = PlaceOf(path, true);
  if (!place.reached()) {
    errno = place.error;
    return false;
  }
  struct stat st;
  if (!place.missing && ::fstatat(place.dir, place.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
    errno = EEXIST;
    return false;
  }
  const std::string temp = WriteTemporary(place, bytes, 0, false);
  if (temp.empty()) return false;
  // The kernel refuses to move over an existing name; where the file system
  // cannot do that, a hard link gives the same promise.
  if (::renameat2(place.dir, temp.c_str(), place.dir, place.name.c_str(), RENAME_NOREPLACE) != 0) {
    if (errno != EINVAL && errno != ENOSYS) return Fail(place, temp);
    if (::linkat(place.dir, temp.c_str(), place.dir, place.name.c_str(), 0) != 0)
      return Fail(place, temp);
    ::unlinkat(place.dir, temp.c_str(), 0);
  }
  NoteAdded(place);
  return true;
}

void RemoveStaleTemporaries(std::string_view path) {
  const Place place = PlaceOf(path, true);
  if (place.reached()) RemoveStaleTemporariesAt(place);
}

std::string RealPath(std::string_view path) {
  // A path that can be opened gets its location from the open descriptor: the
  // kernel's own resolution of every link, in three calls.
  const Place place = PlaceOf(path);
  if (place.reached() && !place.missing) {
    Fd fd(::openat(place.dir, place.name.c_str(),
                   O_PATH | O_CLOEXEC | (place.never_links ? O_NOFOLLOW : 0)));
    if (fd.get() >= 0) {
      std::string real = DescriptorPath(fd.get());
      if (!real.empty() && real.front() == '/') return real;
    }
  }
  // Missing: where making the missing parts would put it (see ResolveFolder).
  TResolvedFolder resolved = ResolveFolder(path, false);
  return resolved.real;
}

bool LinkCaseVariant(std::string_view folder, std::string_view alias) {
  const std::vector<std::string> folder_parts = PathParts(folder), alias_parts = PathParts(alias);
  if (folder_parts.empty() || folder_parts.size() != alias_parts.size() ||
      !std::equal(folder_parts.begin(), folder_parts.end() - 1, alias_parts.begin()))
    return false;
  // Both names in one parent, opened once: the link is made beside the folder.
  const Place parent = PlaceOf(ParentText(alias), true);
  Fd dir(OpenFolderAt(parent));
  struct stat st;
  const std::string target = Utf8OfNameText(folder_parts.back());
  const std::string exact = Utf8OfNameText(alias_parts.back());
  if (dir.get() < 0 || ::fstatat(dir.get(), target.c_str(), &st, 0) != 0 || !S_ISDIR(st.st_mode))
    return false;
  struct stat own;
  if (::fstatat(dir.get(), exact.c_str(), &own, AT_SYMLINK_NOFOLLOW) == 0) {
    // A link that leads nowhere, or somewhere else, is remade; anything else
    // with that spelling (the folder itself on a case-blind file system) stays.
    struct stat leads;
    if (!S_ISLNK(own.st_mode)) return true;
    if (::fstatat(dir.get(), exact.c_str(), &leads, 0) == 0 && leads.st_ino == st.st_ino &&
        leads.st_dev == st.st_dev)
      return true;
    if (::unlinkat(dir.get(), exact.c_str(), 0) != 0) return false;
    Names().Removed(dir.get(), exact);
  }
  if (::symlinkat(target.c_str(), dir.get(), exact.c_str()) != 0) return false;
  Names().Added(dir.get(), exact);
  return true;
}

intptr_t OpenFolderHandle(std::string_view path) {
  const int fd = OpenFolderAt(PlaceOf(path));
  return fd < 0 ? HeldFolder::kNone : fd;
}

std::string CurrentFolder() {
  std::error_code ec;
  return NameTextOfUtf8(fs::current_path(ec).string());
}

// ---- Emptying a folder through its descriptor.

namespace {

// The entries of the folder open at dir, without "." and "..", in byte order.
std::vector<std::string> EntryNames(DIR* stream) {
  std::vector<std::string> names;
  while (const dirent* raw = ::readdir(stream)) {
    const std::string name = raw->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

namespace {

// EmptyFolder, or with look_only its first half alone.
std::optional<TEmptyingRefusal> EmptyOrLook(std::string_view folder,
                                            const std::function<void()>& before_entry,
                                            bool look_only) {
  const std::string text(folder);
  const int fd = OpenFolderAt(PlaceOf(folder, true));
  if (fd < 0) return TEmptyingRefusal{text, errno};
  DIR* stream = ::fdopendir(fd);
  if (!stream) {
    const int error = errno;
    ::close(fd);
    return TEmptyingRefusal{text, error};
  }
  const int dir = dirfd(stream);
  const std::vector<std::string> names = EntryNames(stream);
  std::optional<TEmptyingRefusal> refusal;
  // Every entry is looked at before the first goes, so an entry of a kind the
  // build did not make refuses the emptying with nothing removed.
  for (const std::string& name : names) {
    struct stat st;
    if (::fstatat(dir, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
      if (errno == ENOENT) continue;  // gone meanwhile
      refusal = TEmptyingRefusal{text + "\\" + NameTextOfUtf8(name), errno};
      break;
    }
    if (!S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode)) {
      refusal = TEmptyingRefusal{text + "\\" + NameTextOfUtf8(name), 0};
      break;
    }
  }
  // unlinkat never follows a link and refuses a folder (one swapped in since
  // the look: EISDIR), so nothing outside the folder can go.
  for (size_t i = 0; !look_only && !refusal && i < names.size(); ++i) {
    if (before_entry) before_entry();
    if (::unlinkat(dir, names[i].c_str(), 0) != 0 && errno != ENOENT) {
      refusal =
          TEmptyingRefusal{text + "\\" + NameTextOfUtf8(names[i]), errno == EISDIR ? 0 : errno};
      break;
    }
    Names().Removed(dir, names[i]);
  }
  ::closedir(stream);
  return refusal;
}

}  // namespace

std::optional<TEmptyingRefusal> EmptyFolder(std::string_view folder,
                                            const std::function<void()>& before_entry) {
  return EmptyOrLook(folder, before_entry, false);
}

std::optional<TEmptyingRefusal> RefuseToEmpty(std::string_view folder) {
  return EmptyOrLook(folder, {}, true);
}

// ---- Held folders.

HeldFolder::~HeldFolder() {
  if (held()) ::close(static_cast<int>(handle_));
}

HeldFolder::HeldFolder(HeldFolder&& other) noexcept
    : handle_(other.handle_), real_(std::move(other.real_)) {
  other.handle_ = kNone;
}

HeldFolder& HeldFolder::operator=(HeldFolder&& other) noexcept {
  if (this != &other) {
    if (held()) ::close(static_cast<int>(handle_));
    handle_ = other.handle_;
    real_ = std::move(other.real_);
    other.handle_ = kNone;
  }
  return *this;
}

namespace {

// The held form of an open folder descriptor (O_PATH ones are reopened for
// reading, which listing and locking need).
HeldFolder Hold(int fd) {
  Fd readable(::openat(fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (readable.get() < 0) return {};
  std::string real = DescriptorPath(readable.get());
  return HeldFolder(readable.release(), std::move(real));
}

}  // namespace

TResolvedFolder ResolveFolder(std::string_view path, bool make_missing) {
  TResolvedFolder result;
  Fd current(::open(IsRootedText(path) ? "/" : ".", O_PATH | O_DIRECTORY | O_CLOEXEC));
  if (current.get() < 0) {
    result.error = errno;
    return result;
  }
  // The head opened so far, and the missing parts after it (UTF-8, as typed).
  std::vector<std::string> missing;
  for (const std::string& part : PathParts(NativeText(path))) {
    if (part == ".." && !missing.empty()) {
      missing.pop_back();
    } else if (!missing.empty()) {
      missing.push_back(part);
    } else {
      Fd next(part == ".." ? ::openat(current.get(), "..", O_PATH | O_DIRECTORY | O_CLOEXEC)
                           : OpenPart(current.get(), part, false));
      if (next.get() >= 0) {
        current = std::move(next);
      } else if (errno == ENOENT) {
        missing.push_back(part);
      } else {
        result.error = errno;  // ENOTDIR: a file stands where a folder belongs
        missing.push_back(part);
        break;
      }
    }
  }
  if (make_missing && result.error == 0) {
    size_t made = 0;
    for (; made < missing.size(); ++made) {
      const char* part = missing[made].c_str();
      const bool created = ::mkdirat(current.get(), part, 0777) == 0;
      if (!created && errno != EEXIST) break;
      // Opened without following: a link that took the new name's place is
      // refused, never followed.
      Fd next(::openat(current.get(), part, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
      if (next.get() < 0) break;
      if (created) Names().Added(current.get(), missing[made]);
      current = std::move(next);
    }
    if (made < missing.size()) result.error = errno;
    missing.erase(missing.begin(), missing.begin() + static_cast<long>(made));
  }
  result.real = DescriptorPath(current.get());
  for (const std::string& part : missing) {
    if (result.real.empty() || result.real.back() != '/') result.real += '/';
    result.real += NameTextOfUtf8(part);
  }
  result.missing = !missing.empty();
  if (result.missing) {
    if (result.error == 0) result.error = ENOENT;
    return result;
  }
  result.folder = Hold(current.get());
  if (!result.folder.held()) result.error = errno;
  return result;
}

HeldFolder HoldFolder(std::string_view path) {
  const int fd = OpenFolderAt(PlaceOf(path));
  if (fd < 0) return {};
  return HeldFolder(fd, DescriptorPath(fd));
}

std::optional<TResolvedFile> ResolveFile(std::string_view path) {
  Place place = PlaceOf(path);
  if (!place.reached() || place.missing) return std::nullopt;
  Fd file(::openat(place.dir, place.name.c_str(), O_PATH | O_CLOEXEC));
  struct stat st;
  if (file.get() < 0 || ::fstat(file.get(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  // The file's own folder, opened by its real location, and checked to still
  // hold that very file under that name.
  const std::string real = DescriptorPath(file.get());
  const size_t slash = real.find_last_of('/');
  if (slash == std::string::npos) return std::nullopt;
  TResolvedFile resolved;
  resolved.name = real.substr(slash + 1);
  TResolvedFolder folder = ResolveFolder(slash == 0 ? "/" : real.substr(0, slash), false);
  struct stat there;
  if (!folder.folder.held() ||
      ::fstatat(static_cast<int>(folder.folder.handle()), Utf8OfNameText(resolved.name).c_str(),
                &there, AT_SYMLINK_NOFOLLOW) != 0 ||
      there.st_ino != st.st_ino || there.st_dev != st.st_dev)
    return std::nullopt;
  resolved.folder = std::move(folder.folder);
  return resolved;
}

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  std::string text;
  if (home && *home) {
    text = NameTextOfUtf8(home);
  } else if (const passwd* entry = ::getpwuid(::getuid())) {
    text = NameTextOfUtf8(entry->pw_dir);
  }
  return text.empty() ? std::string() : RealPath(text);
}

bool IsFileSystemRoot(std::string_view real) {
  return real == "/";
}

}  // namespace tavex
