// The file layer on POSIX: path texts become UTF-8 paths with "/", missing
// components are looked up ignoring letter case, and every file is opened,
// checked and written through its descriptor.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <unordered_map>

#include "platform/files.h"
#include "platform/text.h"
#include "platform/typed_path_posix.h"

namespace fs = std::filesystem;

namespace tavex {

const char kRealPathSeparator = '/';

namespace {

std::string ToUtf8Separators(std::string_view path) {
  std::string utf8 = Cp1251ToUtf8(path);
  std::replace(utf8.begin(), utf8.end(), '\\', '/');
  return utf8;
}

// lstat: true when anything, a dangling link included, has that name.
bool Exists(const fs::path& p, struct stat* st = nullptr) {
  struct stat own;
  return ::lstat(p.c_str(), st ? st : &own) == 0;
}

// stat, links followed: what the name leads to.
bool Leads(const fs::path& p, struct stat& st) {
  return ::stat(p.c_str(), &st) == 0;
}

bool SameTime(const struct timespec& a, const struct timespec& b) {
  return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// The names of one folder by their folded Windows-1251 form, for the
// case-insensitive lookup. A folder is listed once and its listing kept while
// its modification time stays the same, so a build that creates thousands of
// pages in one folder does not list it once per page; the names this process
// adds are put in as it adds them. Only names that lead somewhere are kept: a
// dangling link never stands in for a missing file or folder.
class FolderNames {
 public:
  // folder_there tells whether folder (as given) leads to a folder at all.
  std::optional<std::string> Find(const fs::path& folder, const std::string& utf8_name,
                                  bool& folder_there) {
    struct stat st;
    folder_there = Leads(folder.empty() ? fs::path(".") : folder, st) && S_ISDIR(st.st_mode);
    if (!folder_there) return std::nullopt;
    Listing& listing = listings_[folder.string()];
    if (!listing.valid || !SameTime(listing.mtime, st.st_mtim)) Relist(folder, st, listing);
    auto it = listing.by_folded.find(LowerCase(Utf8To1251(utf8_name)));
    if (it == listing.by_folded.end()) return std::nullopt;
    return it->second;
  }

  // A name this process just made in folder: a kept listing takes it in and
  // is dated anew, so the change does not cost a fresh listing.
  void Added(const fs::path& file) {
    auto it = listings_.find(file.parent_path().string());
    if (it == listings_.end() || !it->second.valid) return;
    struct stat st;
    if (!Leads(file.parent_path(), st)) {
      it->second.valid = false;
      return;
    }
    const std::string name = file.filename().string();
    auto [slot, added] = it->second.by_folded.try_emplace(LowerCase(Utf8To1251(name)), name);
    if (!added && name < slot->second) slot->second = name;
    it->second.mtime = st.st_mtim;
  }

  // A name this process just removed from its folder.
  void Removed(const fs::path& file) {
    auto it = listings_.find(file.parent_path().string());
    if (it == listings_.end() || !it->second.valid) return;
    struct stat st;
    auto& by_folded = it->second.by_folded;
    auto slot = by_folded.find(LowerCase(Utf8To1251(file.filename().string())));
    // Another spelling of the same folded name may remain: list again then.
    if (slot != by_folded.end() && slot->second != file.filename().string()) {
      it->second.valid = false;
      return;
    }
    if (slot != by_folded.end()) by_folded.erase(slot);
    if (Leads(file.parent_path(), st)) {
      it->second.mtime = st.st_mtim;
    } else {
      it->second.valid = false;
    }
  }

 private:
  struct Listing {
    bool valid = false;
    struct timespec mtime {};
    std::unordered_map<std::string, std::string> by_folded;  // first name in byte order
  };

  static void Relist(const fs::path& folder, const struct stat& st, Listing& listing) {
    listing.by_folded.clear();
    listing.mtime = st.st_mtim;
    listing.valid = true;
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return;
    while (const dirent* entry = ::readdir(dir)) {
      const std::string name = entry->d_name;
      if (name == "." || name == "..") continue;
      if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
        struct stat target;
        if (!Leads(folder / name, target)) continue;
      }
      auto [slot, added] = listing.by_folded.try_emplace(LowerCase(Utf8To1251(name)), name);
      if (!added && name < slot->second) slot->second = name;
    }
    ::closedir(dir);
  }

  std::unordered_map<std::string, Listing> listings_;
};

FolderNames& Names() {
  static FolderNames names;
  return names;
}

// The path with each missing component replaced by an entry of its folder that
// differs only in letter case; once a component is absent either way, the rest
// stays as typed. Costs one lstat when the path exists as typed, and one more
// (the folder's stat, which also proves the folder is there as typed) for a
// name missing from an existing folder: the file about to be created.
// missing (when given) is set when the answer is known to name nothing: its
// lstat failed and its folder holds no other spelling of it, so a caller
// about to create it need not look again.
fs::path Resolve(const fs::path& exact, bool* missing = nullptr) {
  if (missing) *missing = false;
  if (exact.empty() || Exists(exact)) return exact;
  const fs::path parent = exact.parent_path();
  const std::string name = exact.filename().string();
  if (parent == exact || name.empty()) return exact;
  if (name == "." || name == "..") return (parent.empty() ? parent : Resolve(parent)) / name;
  // The folder's stat in the lookup also tells whether it is there as typed;
  // only a folder that is not needs resolving itself.
  bool folder_there = false;
  if (auto found = Names().Find(parent, name, folder_there)) return parent / *found;
  if (folder_there && missing) *missing = true;
  if (folder_there || parent.empty()) return exact;
  const fs::path resolved_parent = Resolve(parent);
  if (resolved_parent == parent) return exact;
  if (auto found = Names().Find(resolved_parent, name, folder_there))
    return resolved_parent / *found;
  return resolved_parent / name;
}

bool LessByName(const DirEntry& a, const DirEntry& b) {
  std::string la = LowerCase(a.name), lb = LowerCase(b.name);
  if (la != lb) return la < lb;
  return a.name < b.name;
}

// Opens a file for reading only when it is a regular file: O_NONBLOCK keeps
// the open of a named pipe from waiting for a writer, and fstat then refuses
// anything that is not a regular file. -1 with errno set otherwise; size gets
// the file's size in bytes as fstat found it.
int OpenRegular(const fs::path& p, ReadRefusal& refusal, off_t& size) {
  const int fd = ::open(p.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    refusal = ReadRefusal::Unreadable;
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
// Opens path as typed and, only when nothing has that exact name, its
// case-insensitive resolution: a file named as listed costs no extra lstat.
int OpenRegularByName(std::string_view path, ReadRefusal& refusal, off_t& size) {
  const int fd = OpenRegular(TypedPath(path), refusal, size);
  if (fd >= 0 || refusal != ReadRefusal::Unreadable || (errno != ENOENT && errno != ENOTDIR))
    return fd;
  return OpenRegular(NativePath(path), refusal, size);
}

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
  return Utf8To1251(std::string_view(target, static_cast<size_t>(n)));
}

constexpr const char* kTemporaryMark = ".tmp-";

// A temporary name beside target that no other process and no other call of
// this process uses: the process id and a counter.
fs::path TemporaryFor(const fs::path& target) {
  static std::atomic<unsigned> counter{0};
  fs::path temp = target;
  temp += kTemporaryMark + std::to_string(::getpid()) + "-" + std::to_string(counter++);
  return temp;
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

// Writes the bytes to a fresh temporary beside target, with the given mode;
// the temporary's path, or empty with errno set (and nothing left behind).
fs::path WriteTemporary(const fs::path& target, std::string_view bytes, mode_t mode,
                        bool keep_mode) {
  const fs::path temp = TemporaryFor(target);
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return {};
  bool ok = (!keep_mode || ::fchmod(fd, mode) == 0) && WriteAllTo(fd, bytes);
  int saved = errno;
  if (::close(fd) != 0 && ok) {
    ok = false;
    saved = errno;
  }
  if (!ok) {
    ::unlink(temp.c_str());
    errno = saved;
    return {};
  }
  return temp;
}

bool Fail(const fs::path& temp) {
  const int saved = errno;
  ::unlink(temp.c_str());
  errno = saved;
  return false;
}

// RealPath of a root folder that every read of a run checks against, kept by
// the root's text while a stat of that text still finds the same folder (its
// device and inode): one call per read instead of four. A root that now leads
// to another folder is resolved again; one renamed under a kept link refuses
// reads as outside, never lets one through.
std::string RootRealPath(std::string_view root) {
  struct Kept {
    std::string text, real;
    dev_t device = 0;
    ino_t inode = 0;
  };
  static Kept kept;
  struct stat st;
  if (::stat(ToUtf8Separators(root).c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
    return RealPath(root);
  if (kept.text == root && kept.device == st.st_dev && kept.inode == st.st_ino) return kept.real;
  std::string real = RealPath(root);
  if (!real.empty()) kept = {std::string(root), real, st.st_dev, st.st_ino};
  return real;
}

// NativePath, telling also whether the path was found to name nothing (see
// Resolve).
fs::path NativePathOf(std::string_view path, bool* missing) {
  const std::string utf8 = ToUtf8Separators(path);
  std::string_view trimmed = utf8;
  while (trimmed.size() > 1 && trimmed.back() == '/') trimmed.remove_suffix(1);
  fs::path resolved = Resolve(fs::path(trimmed), missing);
  if (trimmed.size() != utf8.size()) resolved /= "";
  return resolved;
}

}  // namespace

fs::path TypedPath(std::string_view path) {
  return fs::path(ToUtf8Separators(path));
}

fs::path NativePath(std::string_view path) {
  return NativePathOf(path, nullptr);
}

std::vector<DirEntry> ListFolder(std::string_view folder) {
  std::vector<DirEntry> entries;
  const fs::path native = NativePath(folder);
  DIR* dir = ::opendir(native.empty() ? "." : native.c_str());
  if (!dir) return entries;
  while (const dirent* raw = ::readdir(dir)) {
    const std::string name = raw->d_name;
    if (name == "." || name == "..") continue;
    DirEntry entry;
    entry.name = Utf8To1251(name);
    unsigned char type = raw->d_type;
    if (type == DT_UNKNOWN) {
      struct stat st;
      if (Exists(native / name, &st))
        type = S_ISLNK(st.st_mode)   ? DT_LNK
               : S_ISDIR(st.st_mode) ? DT_DIR
               : S_ISREG(st.st_mode) ? DT_REG
                                     : DT_FIFO;
    }
    entry.is_link = type == DT_LNK;
    if (entry.is_link) {
      struct stat st;
      if (Leads(native / name, st)) {
        entry.is_folder = S_ISDIR(st.st_mode);
        entry.is_regular = S_ISREG(st.st_mode);
      }
    } else {
      entry.is_folder = type == DT_DIR;
      entry.is_regular = type == DT_REG;
    }
    entries.push_back(std::move(entry));
  }
  ::closedir(dir);
  std::sort(entries.begin(), entries.end(), LessByName);
  return entries;
}

bool FileExists(std::string_view path) {
  struct stat st;
  return Leads(NativePath(path), st) && !S_ISDIR(st.st_mode);
}

bool FolderExists(std::string_view path) {
  struct stat st;
  return Leads(NativePath(path), st) && S_ISDIR(st.st_mode);
}

bool CreateFolder(std::string_view path) {
  const fs::path p = NativePath(path);
  if (::mkdir(p.c_str(), 0777) != 0) return false;
  Names().Added(p);
  return true;
}

bool RemoveFile(std::string_view path) {
  const fs::path p = NativePath(path);
  // Linux's unlink refuses a folder (EISDIR), even for root, so no lstat first.
  if (::unlink(p.c_str()) != 0) return false;
  Names().Removed(p);
  return true;
}

bool CopyFileNoReplace(std::string_view from, std::string_view to) {
  const auto bytes = ReadFileBytes(from);
  return bytes && WriteFileNoReplace(to, *bytes);
}

std::optional<std::string> ReadFileBytes(std::string_view path, size_t limit) {
  ReadRefusal refusal;
  off_t size = 0;
  const int fd = OpenRegularByName(path, refusal, size);
  if (fd < 0) return std::nullopt;
  return ReadAll(fd, limit, size);
}

std::optional<std::string> ReadFileWithin(std::string_view path, std::string_view root,
                                          size_t limit, ReadRefusal& refusal) {
  off_t size = 0;
  const int fd = OpenRegularByName(path, refusal, size);
  if (fd < 0) return std::nullopt;
  if (!RealPathWithin(DescriptorPath(fd), RootRealPath(root))) {
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
  // A new file: the lookup already found no such name, and a second look in
  // a folder of thousands of pages would cost a directory search per page.
  bool missing = false;
  const fs::path target = NativePathOf(path, &missing);
  struct stat st;
  const bool existed = !missing && ::stat(target.c_str(), &st) == 0;
  if (existed && S_ISDIR(st.st_mode)) {
    errno = EISDIR;
    return false;
  }
  const fs::path temp = WriteTemporary(target, bytes, existed ? st.st_mode & 07777 : 0, existed);
  if (temp.empty()) return false;
  if (::rename(temp.c_str(), target.c_str()) != 0) return Fail(temp);
  Names().Added(target);
  // A file that is rewritten (settings, contents, the navigation page) may
  // have a killed run's temporary beside it; a new file has none to look for.
  if (existed) RemoveStaleTemporaries(path);
  return true;
}

bool WriteFileNoReplace(std::string_view path, std::string_view bytes) {
  const fs::path target = NativePath(path);
  if (Exists(target)) {
    errno = EEXIST;
    return false;
  }
  const fs::path temp = WriteTemporary(target, bytes, 0, false);
  if (temp.empty()) return false;
  // The kernel refuses to move over an existing name; where the file system
  // cannot do that, a hard link gives the same promise.
  if (::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) != 0) {
    if (errno != EINVAL && errno != ENOSYS) return Fail(temp);
    if (::link(temp.c_str(), target.c_str()) != 0) return Fail(temp);
    ::unlink(temp.c_str());
  }
  Names().Added(target);
  return true;
}

void RemoveStaleTemporaries(std::string_view path) {
  const fs::path target = NativePath(path);
  const std::string prefix = target.filename().string() + kTemporaryMark;
  DIR* dir = ::opendir(target.parent_path().empty() ? "." : target.parent_path().c_str());
  if (!dir) return;
  std::vector<std::string> stale;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name.compare(0, prefix.size(), prefix) != 0) continue;
    // "NAME.tmp-PID-N"; the older fixed "NAME.tmp-write" has no process.
    const long pid = std::strtol(name.c_str() + prefix.size(), nullptr, 10);
    if (pid <= 0 || (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH))
      stale.push_back(name);
  }
  ::closedir(dir);
  for (const std::string& name : stale) ::unlink((target.parent_path() / name).c_str());
}

std::string RealPath(std::string_view path) {
  // A path that can be opened gets its location from the open descriptor: the
  // kernel's own resolution of every link, in three calls, where
  // weakly_canonical spends a readlink and a stat on each component.
  const fs::path native = NativePath(path);
  const int fd = ::open(native.empty() ? "." : native.c_str(), O_PATH | O_CLOEXEC);
  if (fd >= 0) {
    std::string real = DescriptorPath(fd);
    ::close(fd);
    if (!real.empty() && real.front() == '/') return real;
  }
  std::error_code ec;
  const fs::path absolute = fs::absolute(native, ec);
  if (ec) return {};
  const fs::path real = fs::weakly_canonical(absolute, ec);
  if (ec) return {};
  return Utf8To1251(real.string());
}

bool LinkCaseVariant(std::string_view folder, std::string_view alias) {
  const fs::path exact(ToUtf8Separators(alias));
  const fs::path target = NativePath(folder);
  struct stat st;
  if (!Leads(target, st) || !S_ISDIR(st.st_mode) || target.parent_path() != exact.parent_path())
    return false;
  struct stat own;
  if (Exists(exact, &own)) {
    // A link that leads nowhere, or somewhere else, is remade; anything else
    // with that spelling (the folder itself on a case-blind file system) stays.
    struct stat leads;
    if (!S_ISLNK(own.st_mode)) return true;
    if (Leads(exact, leads) && leads.st_ino == st.st_ino && leads.st_dev == st.st_dev) return true;
    if (::unlink(exact.c_str()) != 0) return false;
    Names().Removed(exact);
  }
  if (::symlink(target.filename().c_str(), exact.c_str()) != 0) return false;
  Names().Added(exact);
  return true;
}

std::string CurrentFolder() {
  std::error_code ec;
  return Utf8To1251(fs::current_path(ec).string());
}

}  // namespace tavex
