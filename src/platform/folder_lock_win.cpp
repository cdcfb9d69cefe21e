// Folder locks on Windows. LockFileEx needs a file, and a folder's own handle
// cannot be locked on NTFS, so the lock lies on a small hidden file inside the
// folder, opened with FILE_FLAG_DELETE_ON_CLOSE: the system deletes it when
// the last handle closes, so neither an ended nor a killed run leaves it
// behind. It is listed in the folder only while a lock is held. It is opened
// sharing everything, so a second run opens it too and is told Busy by
// LockFileEx rather than by a sharing error.
#include <windows.h>

#include <cerrno>
#include <string>

#include "platform/files.h"
#include "platform/folder_lock.h"
#include "platform/wide_text_win.h"

namespace tavex {

namespace {
constexpr const wchar_t* kLockFileName = L".mytavex-lock";
}  // namespace

FolderLock::Result FolderLock::TryLock(std::string_view folder) {
  Unlock();
  std::wstring path = NativePath(folder).wstring();
  if (!path.empty() && path.back() != L'\\' && path.back() != L'/') path += L'\\';
  path += kLockFileName;
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    SetErrnoFromLastError();
    return Result::Failed;
  }
  OVERLAPPED whole{};
  if (!LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &whole)) {
    const DWORD error = GetLastError();
    CloseHandle(h);
    SetLastError(error);
    SetErrnoFromLastError();
    return error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING ? Result::Busy
                                                                      : Result::Failed;
  }
  handle_ = reinterpret_cast<intptr_t>(h);
  return Result::Locked;
}

// A held folder cannot be moved or removed while it is held (it is open
// without sharing deletion), so its real location is the folder itself.
FolderLock::Result FolderLock::TryLock(const HeldFolder& folder) {
  Unlock();
  if (!folder.held()) return Result::Failed;
  return TryLock(folder.real());
}

void FolderLock::Unlock() {
  if (handle_ == kNone) return;
  // Closing the handle drops the lock and, as the last handle, deletes the file.
  CloseHandle(reinterpret_cast<HANDLE>(handle_));
  handle_ = kNone;
}

}  // namespace tavex
