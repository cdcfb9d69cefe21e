// The file layer on Windows. Every call first finds its place: a folder's
// handle and a name in it. Below a bound text (held_folder.h) the folder is
// the binding's handle and the rest of the text is opened relative to it
// (NtCreateFile with a root directory), a link refused where the binding says
// so; elsewhere the place is the whole UTF-16 path, "\" and drive letters as
// typed. Files are then opened, checked, written, moved (SetFileInformation-
// ByHandle with the folder's handle as the root) and removed through handles.
// The file system ignores letter case, so no lookup of other spellings is
// needed; a name with characters Windows-1251 lacks is written with character
// references (name_text.h), so the listed text reaches that very file again.
#include <windows.h>
#include <winternl.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <vector>

#include "platform/bound_paths.h"
#include "platform/files.h"
#include "platform/folder_lock.h"
#include "platform/temporary_name.h"
#include "platform/text.h"
#include "platform/wide_text_win.h"

namespace fs = std::filesystem;

extern "C" ULONG NTAPI RtlNtStatusToDosError(NTSTATUS status);

namespace tavex {

const char kRealPathSeparator = '\\';

bool IsRootedText(std::string_view path) {
  if (path.empty()) return false;
  if (path.front() == '\\' || path.front() == '/') return true;
  return path.size() >= 2 && path[1] == ':';
}

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// A held folder shares everything but deletion: while it is held, nothing can
// move it away or remove it, so its name keeps leading to it.
constexpr DWORD kShareHeld = FILE_SHARE_READ | FILE_SHARE_WRITE;

class Handle {
 public:
  explicit Handle(HANDLE h = INVALID_HANDLE_VALUE) : h_(h) {}
  ~Handle() {
    if (valid()) CloseHandle(h_);
  }
  Handle(Handle&& other) noexcept : h_(other.release()) {}
  Handle& operator=(Handle&& other) noexcept {
    if (this != &other) {
      if (valid()) CloseHandle(h_);
      h_ = other.release();
    }
    return *this;
  }
  bool valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
  HANDLE get() const { return h_; }
  HANDLE release() {
    HANDLE h = h_;
    h_ = INVALID_HANDLE_VALUE;
    return h;
  }

 private:
  HANDLE h_;
};

// The UTF-16 of a path text; "/" becomes "\". "\\?\" and "\\.\" paths go to
// the system as they stand.
std::wstring WidePath(std::string_view path) {
  if (path.rfind("\\\\?\\", 0) == 0 || path.rfind("\\\\.\\", 0) == 0) return WideOf1251(path);
  std::wstring wide = WideOfNameText(path);
  std::replace(wide.begin(), wide.end(), L'/', L'\\');
  return wide;
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

std::string RealTextOf(HANDLE h) {
  return NameTextOfWide(HandlePath(h));
}

void SetErrnoFromStatus(NTSTATUS status) {
  SetLastError(RtlNtStatusToDosError(status));
  SetErrnoFromLastError();
}

// Opens name under the folder open at dir (or, with dir null, the whole path
// name) the way NtCreateFile does: disposition FILE_OPEN, FILE_CREATE, ...;
// options FILE_DIRECTORY_FILE, FILE_NON_DIRECTORY_FILE,
// FILE_OPEN_REPARSE_POINT. An empty name under dir opens dir itself. Invalid
// with errno set when it cannot.
Handle OpenAt(HANDLE dir, const std::wstring& name, ACCESS_MASK access, ULONG share,
              ULONG disposition, ULONG options, ULONG attributes = FILE_ATTRIBUTE_NORMAL) {
  if (!dir) {
    DWORD creation = OPEN_EXISTING;
    if (disposition == FILE_CREATE) creation = CREATE_NEW;
    if (disposition == FILE_OPEN_IF) creation = OPEN_ALWAYS;
    if (options & FILE_DIRECTORY_FILE && disposition == FILE_CREATE) {
      if (!CreateDirectoryW(name.c_str(), nullptr)) {
        SetErrnoFromLastError();
        return Handle();
      }
      creation = OPEN_EXISTING;
    }
    DWORD flags = FILE_FLAG_BACKUP_SEMANTICS | attributes;
    if (options & FILE_OPEN_REPARSE_POINT) flags |= FILE_FLAG_OPEN_REPARSE_POINT;
    Handle h(CreateFileW(name.c_str(), access, share, nullptr, creation, flags, nullptr));
    if (!h.valid()) SetErrnoFromLastError();
    return h;
  }
  UNICODE_STRING object{static_cast<USHORT>(name.size() * sizeof(wchar_t)),
                        static_cast<USHORT>(name.size() * sizeof(wchar_t)),
                        const_cast<wchar_t*>(name.c_str())};
  OBJECT_ATTRIBUTES oa;
  InitializeObjectAttributes(&oa, &object, OBJ_CASE_INSENSITIVE, dir, nullptr);
  IO_STATUS_BLOCK status_block{};
  HANDLE h = nullptr;
  const NTSTATUS status =
      NtCreateFile(&h, access | SYNCHRONIZE, &oa, &status_block, nullptr, attributes, share,
                   disposition, options | FILE_SYNCHRONOUS_IO_NONALERT, nullptr, 0);
  if (status < 0) {
    SetErrnoFromStatus(status);
    return Handle();
  }
  return Handle(h);
}

// Where a call lands: the folder open at dir (null: none, name is a whole
// path) and a name under it.
struct Place {
  Handle own;
  HANDLE dir = nullptr;
  std::wstring name;         // empty under dir: dir itself
  bool never_links = false;  // below an issue tree: the entry is never followed
  int error = 0;             // nonzero: the place cannot be reached (errno)
  bool reached() const { return error == 0; }
  ULONG LinkOption() const { return never_links ? FILE_OPEN_REPARSE_POINT : 0; }
};

// The folder that the parts [0, count) of rest lead to from dir, opened.
void OpenFolders(HANDLE dir, const std::vector<std::string>& rest, size_t count, bool never,
                 Place& place) {
  HANDLE current = dir;
  Handle held;
  for (size_t i = 0; i < count; ++i) {
    if (rest[i] == "..") {
      place.error = EACCES;  // Windows reads ".." before any link: not from a handle
      return;
    }
    Handle next =
        OpenAt(current, WideOfNameText(rest[i]), FILE_TRAVERSE | FILE_LIST_DIRECTORY, kShareAll,
               FILE_OPEN, FILE_DIRECTORY_FILE | (never ? FILE_OPEN_REPARSE_POINT : 0));
    if (!next.valid()) {
      place.error = errno;
      return;
    }
    if (never) {
      BY_HANDLE_FILE_INFORMATION info{};
      if (!GetFileInformationByHandle(next.get(), &info) ||
          (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        place.error = ELOOP;
        return;
      }
    }
    held = std::move(next);
    current = held.get();
  }
  if (held.valid()) {
    place.own = std::move(held);
    place.dir = place.own.get();
  } else {
    place.dir = current;
  }
}

void BoundPlace(const TBoundPath& bound, Place& place) {
  const TBinding& binding = *bound.binding;
  if (!binding.folder) {
    place.error = ENOENT;
    return;
  }
  HANDLE root = reinterpret_cast<HANDLE>(binding.folder->handle());
  place.never_links = binding.links == LinkRule::Never;
  if (!binding.file_name.empty()) {
    place.dir = root;
    place.name = WideOfNameText(binding.file_name);
    return;
  }
  if (bound.rest.empty()) {
    place.dir = root;
    return;
  }
  const bool dots = std::find(bound.rest.begin(), bound.rest.end(), "..") != bound.rest.end();
  if (dots && !place.never_links) {
    // The system reads ".." from the text: so does the place, from where the
    // held folder is.
    std::wstring path = HandlePath(root);
    for (const std::string& part : bound.rest) path += L"\\" + WideOfNameText(part);
    place.name = path;
    return;
  }
  OpenFolders(root, bound.rest, bound.rest.size() - 1, place.never_links, place);
  if (!place.reached()) return;
  if (bound.rest.back() == "..") {
    place.error = EACCES;
    return;
  }
  place.name = WideOfNameText(bound.rest.back());
}

Place PlaceOf(std::string_view path, bool for_change = false) {
  Place place;
  const TBoundPath bound = FindBinding(path);
  if (bound.binding) {
    BoundPlace(bound, place);
  } else if (for_change && AnyBinding()) {
    place.error = EACCES;
  } else {
    place.name = WidePath(path.empty() ? std::string_view(".") : path);
  }
  return place;
}

// The attributes of what a place leads to (of the entry itself below an issue
// tree); INVALID_FILE_ATTRIBUTES when nothing is there (a dangling link too).
DWORD AttributesAt(const Place& place) {
  if (!place.reached()) return INVALID_FILE_ATTRIBUTES;
  Handle h =
      OpenAt(place.dir, place.name, FILE_READ_ATTRIBUTES, kShareAll, FILE_OPEN, place.LinkOption());
  BY_HANDLE_FILE_INFORMATION info;
  if (!h.valid() || !GetFileInformationByHandle(h.get(), &info)) return INVALID_FILE_ATTRIBUTES;
  return info.dwFileAttributes;
}

bool IsLinkTag(DWORD tag) {
  return tag == IO_REPARSE_TAG_SYMLINK || tag == IO_REPARSE_TAG_MOUNT_POINT;
}

bool LessByName(const DirEntry& a, const DirEntry& b) {
  std::string la = LowerCase(a.name), lb = LowerCase(b.name);
  if (la != lb) return la < lb;
  return a.name < b.name;
}

// One entry of a folder's listing.
struct Listed {
  std::wstring name;
  DWORD attributes = 0;
  DWORD reparse_tag = 0;  // for a reparse point
};

// Every entry of the folder open at h except "." and "..", in the file
// system's order.
std::vector<Listed> ListOpenFolder(HANDLE h) {
  std::vector<Listed> listed;
  std::vector<unsigned char> buffer(64 * 1024);
  FILE_INFO_BY_HANDLE_CLASS kind = FileIdBothDirectoryRestartInfo;
  while (GetFileInformationByHandleEx(h, kind, buffer.data(), static_cast<DWORD>(buffer.size()))) {
    kind = FileIdBothDirectoryInfo;
    size_t at = 0;
    for (;;) {
      const auto* info = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(buffer.data() + at);
      const std::wstring name(info->FileName, info->FileNameLength / sizeof(wchar_t));
      if (name != L"." && name != L"..") {
        Listed entry{name, info->FileAttributes, 0};
        if (info->FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) entry.reparse_tag = info->EaSize;
        listed.push_back(std::move(entry));
      }
      if (info->NextEntryOffset == 0) break;
      at += info->NextEntryOffset;
    }
  }
  return listed;
}

// Opens the folder at a place for listing.
Handle OpenFolderAt(const Place& place) {
  if (!place.reached()) {
    errno = place.error;
    return Handle();
  }
  return OpenAt(place.dir, place.name, FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES, kShareAll,
                FILE_OPEN, FILE_DIRECTORY_FILE | place.LinkOption());
}

// The name under a place's folder for a sibling temporary, or the whole path.
std::wstring SiblingName(const Place& place, const std::wstring& sibling) {
  if (place.dir) return sibling;
  const size_t slash = place.name.find_last_of(L"\\/");
  return slash == std::wstring::npos ? sibling : place.name.substr(0, slash + 1) + sibling;
}

std::wstring LastPart(const std::wstring& name) {
  const size_t slash = name.find_last_of(L"\\/");
  return slash == std::wstring::npos ? name : name.substr(slash + 1);
}

// A temporary name beside the place's name: see temporary_name.h.
std::wstring TemporaryFor(const Place& place) {
  static std::atomic<unsigned> counter{0};
  const std::string name =
      TemporaryName(Utf8OfWide(LastPart(place.name)), GetCurrentProcessId(), counter++);
  return SiblingName(place, WideOfUtf8(name));
}

bool WriteAllTo(HANDLE h, std::string_view bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
    DWORD put = 0;
    if (!WriteFile(h, bytes.data() + done, chunk, &put, nullptr)) {
      SetErrnoFromLastError();
      return false;
    }
    done += put;
  }
  return true;
}

// Marks the open file to go when its handle closes.
bool DeleteOnClose(HANDLE h) {
  FILE_DISPOSITION_INFO dispose{TRUE};
  if (SetFileInformationByHandle(h, FileDispositionInfo, &dispose, sizeof dispose)) return true;
  SetErrnoFromLastError();
  return false;
}

// Gives the open file a name: under root (null: name is a whole path).
bool Rename(HANDLE file, HANDLE root, const std::wstring& name, bool replace) {
  std::vector<unsigned char> buffer(sizeof(FILE_RENAME_INFO) + name.size() * sizeof(wchar_t));
  auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
  info->ReplaceIfExists = replace;
  info->RootDirectory = root;
  info->FileNameLength = static_cast<DWORD>(name.size() * sizeof(wchar_t));
  std::copy(name.begin(), name.end(), info->FileName);
  return SetFileInformationByHandle(file, FileRenameInfo, info, static_cast<DWORD>(buffer.size()));
}

std::wstring WholePath(const Place& place);

// Gives the open file the place's name (under the place's folder), replacing
// an existing file when replace says so. Where the system takes no root for
// a rename (wine answers ERROR_INVALID_PARAMETER), the held folder's own path
// stands for it: a held folder cannot move while it is held.
bool RenameTo(HANDLE file, const Place& place, bool replace) {
  if (Rename(file, place.dir, place.name, replace)) return true;
  if (place.dir && GetLastError() == ERROR_INVALID_PARAMETER &&
      Rename(file, nullptr, WholePath(place), replace))
    return true;
  SetErrnoFromLastError();
  return false;
}

// The whole path of a place, for the calls that take only paths.
std::wstring WholePath(const Place& place) {
  if (!place.dir) return place.name;
  std::wstring folder = HandlePath(place.dir);
  if (place.name.empty()) return folder;
  if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
  return folder + place.name;
}

// Puts a written temporary (closed) in the target's place when the handle's
// rename was refused because another program holds the target open, sharing
// deletion (as a browser showing the page does): ReplaceFileW swaps it all
// the same, the old file going to a temporary name of ours that is deleted at
// once. When ReplaceFileW moved the old file aside but could not move the new
// one in, the plain move finishes, or the old file goes back.
bool ReplaceHeldOpen(const std::wstring& temp, const std::wstring& target, DWORD error) {
  if (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) return false;
  static std::atomic<unsigned> counter{0};
  const size_t slash = target.find_last_of(L'\\');
  const std::wstring old = target.substr(0, slash + 1) +
                           WideOfUtf8(TemporaryName(Utf8OfWide(target.substr(slash + 1)),
                                                    GetCurrentProcessId(), 1000000 + counter++));
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

// Writes bytes to a new temporary beside the place's name and moves it there.
// replace: over an existing file (its attributes kept), else never.
bool WriteAndPlace(const Place& place, std::string_view bytes, bool replace, DWORD keep) {
  const std::wstring temp_name = TemporaryFor(place);
  Handle temp = OpenAt(place.dir, temp_name, GENERIC_WRITE | DELETE, 0, FILE_CREATE,
                       FILE_NON_DIRECTORY_FILE, FILE_ATTRIBUTE_NORMAL | keep);
  if (!temp.valid()) return false;
  if (!WriteAllTo(temp.get(), bytes)) {
    const int saved = errno;
    DeleteOnClose(temp.get());
    errno = saved;
    return false;
  }
  if (RenameTo(temp.get(), place, replace)) return true;
  const DWORD error = GetLastError();
  const int saved = errno;
  if (replace) {
    const std::wstring target = WholePath(place);
    const std::wstring temp_path =
        target.substr(0, target.size() - LastPart(target).size()) + LastPart(temp_name);
    temp = Handle();  // closed, so that it can be moved by name
    if (ReplaceHeldOpen(temp_path, target, error)) return true;
    DeleteFileW(temp_path.c_str());
    SetLastError(error);
    SetErrnoFromLastError();
    return false;
  }
  DeleteOnClose(temp.get());
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

// Removes the temporaries of a place's name that processes which no longer
// run left beside it.
void RemoveStaleTemporariesAt(const Place& place) {
  Place folder;
  folder.dir = place.dir;
  folder.name =
      place.dir ? L"" : place.name.substr(0, place.name.size() - LastPart(place.name).size());
  if (!place.dir && folder.name.empty()) folder.name = L".";
  Handle listing = OpenFolderAt(folder);
  if (!listing.valid()) return;
  const std::string name = Utf8OfWide(LastPart(place.name));
  for (const Listed& entry : ListOpenFolder(listing.get())) {
    const auto pid = TemporaryProcess(Utf8OfWide(entry.name), name);
    if (!pid || *pid == 0 || !ProcessIsGone(static_cast<DWORD>(*pid)) ||
        (entry.attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)))
      continue;
    Handle stale = OpenAt(place.dir, SiblingName(place, entry.name), DELETE, kShareAll, FILE_OPEN,
                          FILE_NON_DIRECTORY_FILE | FILE_OPEN_REPARSE_POINT);
    if (stale.valid()) DeleteOnClose(stale.get());
  }
}

// Opens a place for reading only when it is a regular file: a folder and a
// device or pipe (CON, NUL, \\.\pipe\...) are refused by the handle before
// anything is read. The handle shares everything, so a reader never stops
// another program from replacing or deleting the file.
Handle OpenRegular(const Place& place, ReadRefusal& refusal) {
  if (!place.reached()) {
    errno = place.error;
    refusal = ReadRefusal::Unreadable;
    return Handle();
  }
  Handle h = OpenAt(place.dir, place.name, GENERIC_READ | FILE_READ_ATTRIBUTES, kShareAll,
                    FILE_OPEN, place.LinkOption());
  if (!h.valid()) {
    refusal = ReadRefusal::Unreadable;
    return h;
  }
  BY_HANDLE_FILE_INFORMATION info{};
  if (GetFileType(h.get()) != FILE_TYPE_DISK || !GetFileInformationByHandle(h.get(), &info) ||
      (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))) {
    refusal = ReadRefusal::NotRegular;
    errno = EISDIR;
    return Handle();
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
      return std::nullopt;
    }
    if (got == 0) break;
    bytes.append(buffer, got);
  }
  return bytes;
}

HeldFolder Hold(Handle h) {
  if (!h.valid()) return {};
  std::string real = RealTextOf(h.get());
  return HeldFolder(reinterpret_cast<intptr_t>(h.release()), std::move(real));
}

}  // namespace

fs::path NativePath(std::string_view path) {
  const Place place = PlaceOf(path);
  return fs::path(place.reached() ? WholePath(place) : WidePath(path));
}

std::vector<DirEntry> ListFolder(std::string_view folder) {
  std::vector<DirEntry> entries;
  const Place place = PlaceOf(folder);
  Handle listing = OpenFolderAt(place);
  if (!listing.valid()) return entries;
  for (const Listed& listed : ListOpenFolder(listing.get())) {
    DirEntry entry;
    entry.name = NameTextOfWide(listed.name);
    entry.is_link =
        (listed.attributes & FILE_ATTRIBUTE_REPARSE_POINT) && IsLinkTag(listed.reparse_tag);
    DWORD attributes = listed.attributes;
    if (entry.is_link) {
      Place leads;
      leads.dir = listing.get();
      leads.name = listed.name;
      attributes = AttributesAt(leads);
    }
    if (attributes != INVALID_FILE_ATTRIBUTES) {
      entry.is_folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
      entry.is_regular = !entry.is_folder && !(attributes & FILE_ATTRIBUTE_DEVICE);
    }
    entries.push_back(std::move(entry));
  }
  std::sort(entries.begin(), entries.end(), LessByName);
  return entries;
}

bool FileExists(std::string_view path) {
  const DWORD attributes = AttributesAt(PlaceOf(path));
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(std::string_view path) {
  const DWORD attributes = AttributesAt(PlaceOf(path));
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool CreateFolder(std::string_view path) {
  const Place place = PlaceOf(path, true);
  if (!place.reached()) {
    errno = place.error;
    return false;
  }
  return OpenAt(place.dir, place.name, FILE_LIST_DIRECTORY, kShareAll, FILE_CREATE,
                FILE_DIRECTORY_FILE)
      .valid();
}

bool RemoveFile(std::string_view path) {
  const Place place = PlaceOf(path, true);
  if (!place.reached()) {
    errno = place.error;
    return false;
  }
  // Opened as the entry itself: a link to a folder is a folder entry that goes
  // as a link, never with what it leads to; a real folder never goes.
  Handle h = OpenAt(place.dir, place.name, DELETE | FILE_READ_ATTRIBUTES, kShareAll, FILE_OPEN,
                    FILE_OPEN_REPARSE_POINT);
  BY_HANDLE_FILE_INFORMATION info{};
  if (!h.valid() || !GetFileInformationByHandle(h.get(), &info)) return false;
  if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
      !(info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    errno = EISDIR;
    return false;
  }
  return DeleteOnClose(h.get());
}

bool CopyFileNoReplace(std::string_view from, std::string_view to) {
  const auto bytes = ReadFileBytes(from);
  return bytes && WriteFileNoReplace(to, *bytes);
}

std::optional<std::string> ReadFileBytes(std::string_view path, size_t limit) {
  ReadRefusal refusal;
  Handle h = OpenRegular(PlaceOf(path), refusal);
  if (!h.valid()) return std::nullopt;
  return ReadAll(h.get(), limit);
}

std::optional<std::string> ReadFileWithin(std::string_view path, std::string_view root,
                                          size_t limit, ReadRefusal& refusal) {
  Handle h = OpenRegular(PlaceOf(path), refusal);
  if (!h.valid()) return std::nullopt;
  if (!RealPathWithin(RealTextOf(h.get()), RealPath(root))) {
    refusal = ReadRefusal::Outside;
    errno = EACCES;
    return std::nullopt;
  }
  auto bytes = ReadAll(h.get(), limit);
  if (!bytes) refusal = ReadRefusal::Unreadable;
  return bytes;
}

bool WriteFileWhole(std::string_view path, std::string_view bytes) {
  Place place = PlaceOf(path, true);
  if (!place.reached()) {
    errno = place.error;
    return false;
  }
  DWORD attributes = AttributesAt(place);
  // A link to a file, outside an issue tree, is written through: the file it
  // leads to is replaced where it is, and the link stays.
  if (!place.never_links && attributes != INVALID_FILE_ATTRIBUTES &&
      !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    Handle own = OpenAt(place.dir, place.name, FILE_READ_ATTRIBUTES, kShareAll, FILE_OPEN,
                        FILE_OPEN_REPARSE_POINT);
    BY_HANDLE_FILE_INFORMATION info{};
    if (own.valid() && GetFileInformationByHandle(own.get(), &info) &&
        (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
      Handle file = OpenAt(place.dir, place.name, FILE_READ_ATTRIBUTES, kShareAll, FILE_OPEN, 0);
      const std::wstring real = file.valid() ? HandlePath(file.get()) : std::wstring();
      if (!real.empty()) {
        place.own = Handle();
        place.dir = nullptr;
        place.name = real;
      }
    }
  }
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    errno = EISDIR;
    return false;
  }
  // The replaced file's attributes (hidden, archive, ...) stand for POSIX's
  // permission bits; a read-only file is refused by the move as on a share.
  const DWORD keep =
      attributes == INVALID_FILE_ATTRIBUTES
          ? 0
          : attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
  if (!WriteAndPlace(place, bytes, true, keep)) return false;
  if (attributes != INVALID_FILE_ATTRIBUTES) RemoveStaleTemporariesAt(place);
  return true;
}

bool WriteFileNoReplace(std::string_view path, std::string_view bytes) {
  const Place place = PlaceOf(path, true);
  if (!place.reached()) {
    errno = place.error;
    return false;
  }
  Place entry;
  entry.dir = place.dir;
  entry.name = place.name;
  entry.never_links = true;
  if (AttributesAt(entry) != INVALID_FILE_ATTRIBUTES) {
    errno = EEXIST;
    return false;
  }
  // Without replacing, the rename itself refuses an existing name, so a file
  // that appeared since the look above is never replaced.
  return WriteAndPlace(place, bytes, false, 0);
}

void RemoveStaleTemporaries(std::string_view path) {
  const Place place = PlaceOf(path, true);
  if (place.reached()) RemoveStaleTemporariesAt(place);
}

std::string RealPath(std::string_view path) {
  const Place place = PlaceOf(path);
  if (place.reached()) {
    Handle h = OpenAt(place.dir, place.name, FILE_READ_ATTRIBUTES, kShareAll, FILE_OPEN,
                      place.LinkOption());
    if (h.valid()) {
      std::string real = RealTextOf(h.get());
      if (!real.empty()) return real;
    }
  }
  return ResolveFolder(path, false).real;
}

bool LinkCaseVariant(std::string_view folder, std::string_view alias) {
  // The file system ignores letter case, so the alias already names the folder.
  return FolderExists(folder) && FolderExists(alias);
}

intptr_t OpenFolderHandle(std::string_view path) {
  Handle h = OpenFolderAt(PlaceOf(path));
  return h.valid() ? reinterpret_cast<intptr_t>(h.release()) : HeldFolder::kNone;
}

std::string CurrentFolder() {
  const DWORD n = GetCurrentDirectoryW(0, nullptr);
  if (n == 0) return {};
  std::wstring folder(n, L'\0');
  const DWORD got = GetCurrentDirectoryW(n, folder.data());
  if (got == 0 || got >= n) return {};
  folder.resize(got);
  return NameTextOfWide(folder);
}

namespace {

std::optional<TEmptyingRefusal> EmptyOrLook(std::string_view folder,
                                            const std::function<void()>& before_entry,
                                            bool look_only) {
  const std::string text(folder);
  Handle listing = OpenFolderAt(PlaceOf(folder, true));
  if (!listing.valid()) return TEmptyingRefusal{text, errno};
  std::vector<Listed> entries = ListOpenFolder(listing.get());
  std::sort(entries.begin(), entries.end(),
            [](const Listed& a, const Listed& b) { return a.name < b.name; });
  // Every entry is looked at before the first goes, so an entry of a kind the
  // build did not make refuses the emptying with nothing removed.
  for (const Listed& entry : entries) {
    const bool link = (entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    if (!link && (entry.attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)))
      return TEmptyingRefusal{text + "\\" + NameTextOfWide(entry.name), 0};
  }
  for (size_t i = 0; !look_only && i < entries.size(); ++i) {
    if (before_entry) before_entry();
    const std::string entry_text = text + "\\" + NameTextOfWide(entries[i].name);
    Handle h = OpenAt(listing.get(), entries[i].name, DELETE | FILE_READ_ATTRIBUTES, kShareAll,
                      FILE_OPEN, FILE_OPEN_REPARSE_POINT);
    if (!h.valid()) {
      if (errno == ENOENT) continue;  // gone meanwhile
      return TEmptyingRefusal{entry_text, errno};
    }
    BY_HANDLE_FILE_INFORMATION info{};
    // A folder swapped in since the look is refused, never entered.
    if (!GetFileInformationByHandle(h.get(), &info) ||
        ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
         !(info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)))
      return TEmptyingRefusal{entry_text, 0};
    if (!DeleteOnClose(h.get())) return TEmptyingRefusal{entry_text, errno};
  }
  return std::nullopt;
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
  if (held()) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

HeldFolder::HeldFolder(HeldFolder&& other) noexcept
    : handle_(other.handle_), real_(std::move(other.real_)) {
  other.handle_ = kNone;
}

HeldFolder& HeldFolder::operator=(HeldFolder&& other) noexcept {
  if (this != &other) {
    if (held()) CloseHandle(reinterpret_cast<HANDLE>(handle_));
    handle_ = other.handle_;
    real_ = std::move(other.real_);
    other.handle_ = kNone;
  }
  return *this;
}

HeldFolder HoldFolder(std::string_view path) {
  const Place place = PlaceOf(path);
  if (!place.reached()) return {};
  return Hold(OpenAt(place.dir, place.name,
                     FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES, kShareHeld,
                     FILE_OPEN, FILE_DIRECTORY_FILE | place.LinkOption()));
}

TResolvedFolder ResolveFolder(std::string_view path, bool make_missing) {
  TResolvedFolder result;
  std::wstring typed = WidePath(path.empty() ? std::string_view(".") : path);
  // The head the parts are taken from: a drive's root, a share, or the
  // current folder.
  std::wstring head;
  size_t from = 0;
  if (typed.size() >= 2 && typed[1] == L':') {
    head = typed.substr(0, 2) + L"\\";
    from = 2;
  } else if (typed.rfind(L"\\\\", 0) == 0) {
    const size_t server_end = typed.find(L'\\', 2);
    const size_t share_end =
        server_end == std::wstring::npos ? std::wstring::npos : typed.find(L'\\', server_end + 1);
    head = typed.substr(0, share_end);
    from = share_end == std::wstring::npos ? typed.size() : share_end;
  } else if (!typed.empty() && typed[0] == L'\\') {
    wchar_t drive[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, drive);
    head = std::wstring(drive, 2) + L"\\";
  } else {
    head = L".";
  }
  std::vector<Handle> opened;  // the folders opened so far: ".." goes back one
  opened.push_back(OpenAt(nullptr, head, FILE_TRAVERSE | FILE_LIST_DIRECTORY, kShareAll, FILE_OPEN,
                          FILE_DIRECTORY_FILE));
  if (!opened.back().valid()) {
    result.error = errno;
    return result;
  }
  std::vector<std::wstring> missing;
  const std::string rest = NameTextOfWide(typed.substr(from));
  for (const std::string& text_part : PathParts(rest)) {
    const std::wstring part = WideOfNameText(text_part);
    // Windows reads ".." from the text, before any link is followed.
    if (part == L"..") {
      if (!missing.empty()) {
        missing.pop_back();
      } else if (opened.size() > 1) {
        opened.pop_back();
      } else {
        // Above the head: the system's own parent of the head.
        Handle parent =
            OpenAt(nullptr, HandlePath(opened.back().get()) + L"\\..",
                   FILE_TRAVERSE | FILE_LIST_DIRECTORY, kShareAll, FILE_OPEN, FILE_DIRECTORY_FILE);
        if (parent.valid()) opened.back() = std::move(parent);
      }
      continue;
    }
    if (!missing.empty()) {
      missing.push_back(part);
      continue;
    }
    Handle next = OpenAt(opened.back().get(), part, FILE_TRAVERSE | FILE_LIST_DIRECTORY, kShareAll,
                         FILE_OPEN, FILE_DIRECTORY_FILE);
    if (next.valid()) {
      opened.push_back(std::move(next));
    } else if (errno == ENOENT) {
      missing.push_back(part);
    } else {
      result.error = errno;
      missing.push_back(part);
      break;
    }
  }
  if (make_missing && result.error == 0) {
    size_t made = 0;
    for (; made < missing.size(); ++made) {
      // Made and opened in one call, never following what stands there.
      Handle next = OpenAt(opened.back().get(), missing[made], FILE_TRAVERSE | FILE_LIST_DIRECTORY,
                           kShareAll, FILE_OPEN_IF, FILE_DIRECTORY_FILE | FILE_OPEN_REPARSE_POINT);
      BY_HANDLE_FILE_INFORMATION info{};
      if (!next.valid() || !GetFileInformationByHandle(next.get(), &info) ||
          (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        result.error = next.valid() ? ELOOP : errno;
        break;
      }
      opened.push_back(std::move(next));
    }
    missing.erase(missing.begin(), missing.begin() + static_cast<long>(made));
  }
  result.real = RealTextOf(opened.back().get());
  for (const std::wstring& part : missing) {
    if (result.real.empty() || result.real.back() != '\\') result.real += '\\';
    result.real += NameTextOfWide(part);
  }
  result.missing = !missing.empty();
  if (result.missing) {
    if (result.error == 0) result.error = ENOENT;
    return result;
  }
  Place last;
  last.dir = opened.back().get();
  result.folder =
      Hold(OpenAt(last.dir, L"", FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES,
                  kShareHeld, FILE_OPEN, FILE_DIRECTORY_FILE));
  if (!result.folder.held()) result.error = errno;
  return result;
}

std::optional<TResolvedFile> ResolveFile(std::string_view path) {
  const Place place = PlaceOf(path);
  if (!place.reached()) return std::nullopt;
  Handle file = OpenAt(place.dir, place.name, FILE_READ_ATTRIBUTES, kShareAll, FILE_OPEN,
                       FILE_NON_DIRECTORY_FILE);
  if (!file.valid()) return std::nullopt;
  const std::string real = RealTextOf(file.get());
  const size_t slash = real.find_last_of('\\');
  if (slash == std::string::npos) return std::nullopt;
  TResolvedFile resolved;
  resolved.name = real.substr(slash + 1);
  TResolvedFolder folder = ResolveFolder(real.substr(0, slash == 2 ? 3 : slash), false);
  if (!folder.folder.held()) return std::nullopt;
  // The name in the held folder must still be that very file.
  Handle there = OpenAt(reinterpret_cast<HANDLE>(folder.folder.handle()),
                        WideOfNameText(resolved.name), FILE_READ_ATTRIBUTES, kShareAll, FILE_OPEN,
                        FILE_NON_DIRECTORY_FILE | FILE_OPEN_REPARSE_POINT);
  BY_HANDLE_FILE_INFORMATION a{}, b{};
  if (!there.valid() || !GetFileInformationByHandle(file.get(), &a) ||
      !GetFileInformationByHandle(there.get(), &b) || a.nFileIndexLow != b.nFileIndexLow ||
      a.nFileIndexHigh != b.nFileIndexHigh || a.dwVolumeSerialNumber != b.dwVolumeSerialNumber)
    return std::nullopt;
  resolved.folder = std::move(folder.folder);
  return resolved;
}

std::string HomeFolder() {
  wchar_t profile[MAX_PATH];
  const DWORD n = GetEnvironmentVariableW(L"USERPROFILE", profile, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return {};
  return RealPath(NameTextOfWide(std::wstring_view(profile, n)));
}

bool IsFileSystemRoot(std::string_view real) {
  if (real.size() == 3 && real[1] == ':' && real[2] == '\\') return true;
  if (real.rfind("\\\\", 0) != 0) return false;
  // "\\server\share" with at most a separator after it.
  std::string_view rest = real.substr(2);
  if (!rest.empty() && rest.back() == '\\') rest.remove_suffix(1);
  const size_t slash = rest.find('\\');
  return slash != std::string_view::npos && slash > 0 &&
         rest.find('\\', slash + 1) == std::string_view::npos;
}

}  // namespace tavex
