// The file layer on Windows: path texts become UTF-16 paths for the wide API,
// "\" and drive letters as they are typed, and every file is opened, checked
// and written through its handle. The file system ignores letter case, so no
// lookup of other spellings is needed.
//
// A name with characters Windows-1251 lacks is listed with "?" for each of
// them. Such a name cannot be typed back exactly, and "?" can never be part of
// a real Windows name, so a path component holding "?" is looked up in its
// folder: the first name in listing order whose Windows-1251 form is exactly
// that component is used. So a file the core found by listing is also reached
// by the text it was listed as.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>

#include "platform/files.h"
#include "platform/text.h"
#include "platform/wide_text_win.h"

namespace fs = std::filesystem;

namespace tavex {

const char kRealPathSeparator = '\\';

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

bool IsSeparator(wchar_t c) {
  return c == L'\\' || c == L'/';
}

class Handle {
 public:
  explicit Handle(HANDLE h = INVALID_HANDLE_VALUE) : h_(h) {}
  ~Handle() {
    if (valid()) CloseHandle(h_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  bool valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
  HANDLE get() const { return h_; }

 private:
  HANDLE h_;
};

// Attributes of what a name leads to, links followed; INVALID_FILE_ATTRIBUTES
// when nothing is there (a dangling link included).
DWORD LeadsTo(const std::wstring& p) {
  const DWORD own = GetFileAttributesW(p.c_str());
  if (own == INVALID_FILE_ATTRIBUTES || !(own & FILE_ATTRIBUTE_REPARSE_POINT)) return own;
  Handle h(CreateFileW(p.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                       nullptr));
  BY_HANDLE_FILE_INFORMATION info;
  if (!h.valid() || !GetFileInformationByHandle(h.get(), &info)) return INVALID_FILE_ATTRIBUTES;
  return info.dwFileAttributes;
}

bool IsLinkEntry(const WIN32_FIND_DATAW& data) {
  return (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
         (data.dwReserved0 == IO_REPARSE_TAG_SYMLINK ||
          data.dwReserved0 == IO_REPARSE_TAG_MOUNT_POINT);
}

// Calls on_entry with every entry of a folder except "." and "..", in the
// file system's order; stops early when on_entry returns false.
template <typename OnEntry>
void EachEntry(const std::wstring& folder, OnEntry on_entry) {
  std::wstring pattern = folder.empty() ? L"." : folder;
  if (!IsSeparator(pattern.back())) pattern += L'\\';
  pattern += L'*';
  WIN32_FIND_DATAW data;
  HANDLE find =
      FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring_view name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    if (!on_entry(data)) break;
  } while (FindNextFileW(find, &data));
  FindClose(find);
}

// A component with "?" (see the file's head): the listed name it stands for,
// or the component itself when none fits.
std::wstring MatchListedName(const std::wstring& folder, std::string_view component) {
  std::wstring best;
  std::string best_bytes;
  EachEntry(folder, [&](const WIN32_FIND_DATAW& data) {
    if (Cp1251OfWide(data.cFileName) != component) return true;
    const std::string bytes = Utf8OfWide(data.cFileName);
    if (best.empty() || bytes < best_bytes) {
      best = data.cFileName;
      best_bytes = bytes;
    }
    return true;
  });
  return best.empty() ? WideOf1251(component) : best;
}

// The UTF-16 path of a path text; "/" becomes "\".
std::wstring WidePath(std::string_view path) {
  // "\\?\" and "\\.\" paths go to the system as they stand.
  if (path.rfind("\\\\?\\", 0) == 0 || path.rfind("\\\\.\\", 0) == 0) return WideOf1251(path);
  std::wstring wide;
  wide.reserve(path.size());
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = start;
    while (end < path.size() && path[end] != '\\' && path[end] != '/') ++end;
    const std::string_view component = path.substr(start, end - start);
    if (component.find('?') != std::string_view::npos) {
      wide += MatchListedName(wide, component);
    } else {
      wide += WideOf1251(component);
    }
    if (end == path.size()) break;
    wide += L'\\';
    start = end + 1;
  }
  return wide;
}

std::wstring Wide(const fs::path& p) {
  return p.wstring();
}

bool LessByName(const DirEntry& a, const DirEntry& b) {
  std::string la = LowerCase(a.name), lb = LowerCase(b.name);
  if (la != lb) return la < lb;
  return a.name < b.name;
}

// Opens a file for reading only when it is a regular file: a folder is
// refused by its attributes before any open, and a device or pipe (CON, NUL,
// \\.\pipe\...) by its handle's type before anything is read. The handle
// shares everything, so a reader never stops another program from replacing
// or deleting the file.
HANDLE OpenRegular(const std::wstring& p, ReadRefusal& refusal) {
  const DWORD attributes = LeadsTo(p);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    refusal = ReadRefusal::NotRegular;
    errno = EISDIR;
    return INVALID_HANDLE_VALUE;
  }
  HANDLE h = CreateFileW(p.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    SetErrnoFromLastError();
    refusal = ReadRefusal::Unreadable;
    return h;
  }
  if (GetFileType(h) != FILE_TYPE_DISK) {
    CloseHandle(h);
    refusal = ReadRefusal::NotRegular;
    errno = EISDIR;
    return INVALID_HANDLE_VALUE;
  }
  refusal = ReadRefusal::None;
  return h;
}

std::optional<std::string> ReadAll(HANDLE h, size_t limit) {
  std::string bytes;
  LARGE_INTEGER size;
  if (GetFileSizeEx(h, &size) && size.QuadPart > 0)
    bytes.reserve(std::min(limit, static_cast<size_t>(size.QuadPart)));
  char buffer[1 << 16];
  while (bytes.size() < limit) {
    const DWORD want = static_cast<DWORD>(std::min(sizeof buffer, limit - bytes.size()));
    DWORD got = 0;
    if (!ReadFile(h, buffer, want, &got, nullptr)) {
      SetErrnoFromLastError();
      CloseHandle(h);
      return std::nullopt;
    }
    if (got == 0) break;
    bytes.append(buffer, got);
  }
  CloseHandle(h);
  return bytes;
}

// "\\?\C:\x" as "C:\x" and "\\?\UNC\host\share" as "\\host\share".
std::wstring WithoutLongPrefix(std::wstring path) {
  if (path.rfind(L"\\\\?\\UNC\\", 0) == 0) return L"\\" + path.substr(7);
  if (path.rfind(L"\\\\?\\", 0) == 0) return path.substr(4);
  return path;
}

// The real location of an open handle (links resolved, letter case as
// stored), or empty.
std::wstring HandlePath(HANDLE h) {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetFinalPathNameByHandleW(h, buffer.data(), static_cast<DWORD>(buffer.size()),
                                              FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (n == 0) return {};
    if (n < buffer.size()) {
      buffer.resize(n);
      return WithoutLongPrefix(buffer);
    }
    buffer.resize(n + 1);
  }
}

constexpr const wchar_t* kTemporaryMark = L".tmp-";

// A temporary name beside target that no other process and no other call of
// this process uses: the process id and a counter.
std::wstring TemporaryFor(const std::wstring& target) {
  static std::atomic<unsigned> counter{0};
  return target + kTemporaryMark + std::to_wstring(GetCurrentProcessId()) + L"-" +
         std::to_wstring(counter++);
}

// Writes the bytes to a fresh temporary beside target; its path, or empty with
// errno set (and nothing left behind).
std::wstring WriteTemporary(const std::wstring& target, std::string_view bytes) {
  const std::wstring temp = TemporaryFor(target);
  HANDLE h = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    SetErrnoFromLastError();
    return {};
  }
  size_t done = 0;
  bool ok = true;
  while (ok && done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
    DWORD put = 0;
    ok = WriteFile(h, bytes.data() + done, chunk, &put, nullptr) != 0;
    done += put;
  }
  if (!ok) SetErrnoFromLastError();
  const int saved = errno;
  if (!CloseHandle(h) && ok) {
    ok = false;
    SetErrnoFromLastError();
  } else {
    errno = saved;
  }
  if (!ok) {
    const int failed = errno;
    DeleteFileW(temp.c_str());
    errno = failed;
    return {};
  }
  return temp;
}

// Puts the temporary in the target's place. A target that another program
// holds open, sharing deletion (as a browser showing the page does), refuses
// the move; ReplaceFileW swaps it all the same, the old file going to a
// temporary name of ours that is deleted at once (that program keeps what it
// opened, and the system drops the old bytes when it closes them). When
// ReplaceFileW moved the old file aside but could not move the new one in,
// the plain move finishes, or the old file goes back.
bool PlaceTemporary(const std::wstring& temp, const std::wstring& target) {
  if (MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
  const DWORD error = GetLastError();
  if (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) return false;
  const std::wstring old = TemporaryFor(target);
  bool placed = ReplaceFileW(target.c_str(), temp.c_str(), old.c_str(),
                             REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != 0;
  if (!placed && GetLastError() == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) {
    placed = MoveFileExW(temp.c_str(), target.c_str(), 0) != 0;
    if (!placed) MoveFileExW(old.c_str(), target.c_str(), 0);
  }
  // The old bytes are deleted only while the target stands in its place.
  if (GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES) DeleteFileW(old.c_str());
  if (!placed) SetLastError(error);
  return placed;
}

bool MoveTemporary(const std::wstring& temp, const std::wstring& target, DWORD flags) {
  const bool placed = flags & MOVEFILE_REPLACE_EXISTING
                          ? PlaceTemporary(temp, target)
                          : MoveFileExW(temp.c_str(), target.c_str(), flags) != 0;
  if (placed) return true;
  SetErrnoFromLastError();
  const int saved = errno;
  DeleteFileW(temp.c_str());
  errno = saved;
  return false;
}

bool ProcessIsGone(DWORD pid) {
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (!process) return GetLastError() == ERROR_INVALID_PARAMETER;
  DWORD code = 0;
  const bool gone = GetExitCodeProcess(process, &code) && code != STILL_ACTIVE;
  CloseHandle(process);
  return gone;
}

}  // namespace

fs::path NativePath(std::string_view path) {
  return fs::path(WidePath(path));
}

std::vector<DirEntry> ListFolder(std::string_view folder) {
  std::vector<DirEntry> entries;
  const std::wstring native = WidePath(folder);
  std::wstring prefix = native.empty() ? L"" : native;
  if (!prefix.empty() && !IsSeparator(prefix.back())) prefix += L'\\';
  EachEntry(native, [&](const WIN32_FIND_DATAW& data) {
    DirEntry entry;
    entry.name = Cp1251OfWide(data.cFileName);
    entry.is_link = IsLinkEntry(data);
    const DWORD attributes =
        entry.is_link ? LeadsTo(prefix + data.cFileName) : data.dwFileAttributes;
    if (attributes != INVALID_FILE_ATTRIBUTES) {
      entry.is_folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
      entry.is_regular = !entry.is_folder && !(attributes & FILE_ATTRIBUTE_DEVICE);
    }
    entries.push_back(std::move(entry));
    return true;
  });
  std::sort(entries.begin(), entries.end(), LessByName);
  return entries;
}

bool FileExists(std::string_view path) {
  const DWORD attributes = LeadsTo(WidePath(path));
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(std::string_view path) {
  const DWORD attributes = LeadsTo(WidePath(path));
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool CreateFolder(std::string_view path) {
  if (CreateDirectoryW(WidePath(path).c_str(), nullptr)) return true;
  SetErrnoFromLastError();
  return false;
}

bool RemoveFile(std::string_view path) {
  const std::wstring p = WidePath(path);
  const DWORD own = GetFileAttributesW(p.c_str());
  if (own == INVALID_FILE_ATTRIBUTES) return false;
  // A link to a folder is itself a folder entry and goes with RemoveDirectory,
  // which removes the link and never what it leads to.
  if (own & FILE_ATTRIBUTE_DIRECTORY) {
    return (own & FILE_ATTRIBUTE_REPARSE_POINT) && RemoveDirectoryW(p.c_str());
  }
  if (DeleteFileW(p.c_str())) return true;
  SetErrnoFromLastError();
  return false;
}

bool CopyFileNoReplace(std::string_view from, std::string_view to) {
  if (CopyFileW(WidePath(from).c_str(), WidePath(to).c_str(), TRUE)) return true;
  SetErrnoFromLastError();
  return false;
}

std::optional<std::string> ReadFileBytes(std::string_view path, size_t limit) {
  ReadRefusal refusal;
  HANDLE h = OpenRegular(WidePath(path), refusal);
  if (h == INVALID_HANDLE_VALUE) return std::nullopt;
  return ReadAll(h, limit);
}

std::optional<std::string> ReadFileWithin(std::string_view path, std::string_view root,
                                          size_t limit, ReadRefusal& refusal) {
  HANDLE h = OpenRegular(WidePath(path), refusal);
  if (h == INVALID_HANDLE_VALUE) return std::nullopt;
  if (!RealPathWithin(Cp1251OfWide(HandlePath(h)), RealPath(root))) {
    CloseHandle(h);
    refusal = ReadRefusal::Outside;
    errno = EACCES;
    return std::nullopt;
  }
  auto bytes = ReadAll(h, limit);
  if (!bytes) refusal = ReadRefusal::Unreadable;
  return bytes;
}

bool WriteFileWhole(std::string_view path, std::string_view bytes) {
  const std::wstring target = WidePath(path);
  const DWORD attributes = LeadsTo(target);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    errno = EISDIR;
    return false;
  }
  const std::wstring temp = WriteTemporary(target, bytes);
  if (temp.empty()) return false;
  // The replaced file's attributes (hidden, archive, ...) stand for POSIX's
  // permission bits; a read-only file is refused by the move as on a share.
  if (attributes != INVALID_FILE_ATTRIBUTES)
    SetFileAttributesW(temp.c_str(), attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                                   FILE_ATTRIBUTE_ARCHIVE));
  return MoveTemporary(temp, target, MOVEFILE_REPLACE_EXISTING);
}

bool WriteFileNoReplace(std::string_view path, std::string_view bytes) {
  const std::wstring target = WidePath(path);
  if (GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES) {
    errno = EEXIST;
    return false;
  }
  const std::wstring temp = WriteTemporary(target, bytes);
  if (temp.empty()) return false;
  // Without MOVEFILE_REPLACE_EXISTING the move itself refuses an existing
  // name, so a file that appeared since the check above is never replaced.
  return MoveTemporary(temp, target, 0);
}

void RemoveStaleTemporaries(std::string_view path) {
  const fs::path target = NativePath(path);
  const std::wstring prefix = target.filename().wstring() + kTemporaryMark;
  const std::wstring folder = target.parent_path().wstring();
  std::vector<std::wstring> stale;
  EachEntry(folder, [&](const WIN32_FIND_DATAW& data) {
    const std::wstring_view name = data.cFileName;
    if (name.compare(0, prefix.size(), prefix) != 0) return true;
    // "NAME.tmp-PID-N"; the older fixed "NAME.tmp-write" has no process.
    const unsigned long pid = std::wcstoul(data.cFileName + prefix.size(), nullptr, 10);
    if (pid == 0 || ProcessIsGone(pid)) stale.emplace_back(name);
    return true;
  });
  for (const std::wstring& name : stale) {
    const std::wstring full = folder.empty() ? name : Wide(target.parent_path() / name);
    DeleteFileW(full.c_str());
  }
}

std::string RealPath(std::string_view path) {
  const std::wstring typed = WidePath(path.empty() ? std::string_view(".") : path);
  DWORD n = GetFullPathNameW(typed.c_str(), 0, nullptr, nullptr);
  if (n == 0) return {};
  std::wstring full(n, L'\0');
  n = GetFullPathNameW(typed.c_str(), n, full.data(), nullptr);
  if (n == 0 || n >= full.size()) return {};
  full.resize(n);
  // The longest existing head is resolved through a handle; the rest, which
  // does not exist yet, is appended as typed.
  size_t head_end = full.size();
  for (;;) {
    const std::wstring head = full.substr(0, head_end);
    Handle h(CreateFileW(head.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                         FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (h.valid()) {
      std::wstring real = HandlePath(h.get());
      if (real.empty()) return {};
      std::wstring rest = full.substr(head_end);
      if (!real.empty() && IsSeparator(real.back()) && !rest.empty() && IsSeparator(rest.front()))
        rest.erase(0, 1);
      return Cp1251OfWide(real + rest);
    }
    size_t sep = full.find_last_of(L"\\/", head_end - 1);
    // Keep "C:\" whole: "C:" alone names the drive's current folder.
    if (sep == 2 && full[1] == L':') ++sep;
    if (sep == std::wstring::npos || sep == 0 || sep >= head_end) return Cp1251OfWide(full);
    head_end = sep;
  }
}

bool LinkCaseVariant(std::string_view folder, std::string_view alias) {
  const fs::path target = NativePath(folder);
  const fs::path exact = NativePath(alias);
  const DWORD attributes = LeadsTo(Wide(target));
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY) ||
      target.parent_path() != exact.parent_path())
    return false;
  // The file system ignores letter case, so the alias already names the folder.
  if (GetFileAttributesW(Wide(exact).c_str()) != INVALID_FILE_ATTRIBUTES) return true;
  return CreateSymbolicLinkW(
             Wide(exact).c_str(), Wide(target.filename()).c_str(),
             SYMBOLIC_LINK_FLAG_DIRECTORY | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) != 0;
}

std::string CurrentFolder() {
  const DWORD n = GetCurrentDirectoryW(0, nullptr);
  if (n == 0) return {};
  std::wstring folder(n, L'\0');
  const DWORD got = GetCurrentDirectoryW(n, folder.data());
  if (got == 0 || got >= n) return {};
  folder.resize(got);
  return Cp1251OfWide(folder);
}

}  // namespace tavex
