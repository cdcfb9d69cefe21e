// Folder locks on POSIX: flock on a descriptor of the folder itself, so no lock
// file is left behind and the kernel drops the lock with the process.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "platform/bound_paths.h"
#include "platform/folder_lock.h"

namespace tavex {

namespace {

// Locks the folder open at fd (taken over), or closes it again.
FolderLock::Result LockOpenFolder(int fd, intptr_t& handle) {
  if (fd < 0) return FolderLock::Result::Failed;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int saved = errno;
    ::close(fd);
    errno = saved;
    return saved == EWOULDBLOCK ? FolderLock::Result::Busy : FolderLock::Result::Failed;
  }
  handle = fd;
  return FolderLock::Result::Locked;
}

}  // namespace

FolderLock::Result FolderLock::TryLock(std::string_view folder) {
  Unlock();
  const intptr_t handle = OpenFolderHandle(folder);
  return LockOpenFolder(handle == HeldFolder::kNone ? -1 : static_cast<int>(handle), handle_);
}

// A descriptor of its own (not a duplicate): flock's lock belongs to the open
// file, so the held folder's other users never share or drop it.
FolderLock::Result FolderLock::TryLock(const HeldFolder& folder) {
  Unlock();
  if (!folder.held()) return Result::Failed;
  return LockOpenFolder(
      ::openat(static_cast<int>(folder.handle()), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC),
      handle_);
}

void FolderLock::Unlock() {
  if (handle_ == kNone) return;
  ::close(static_cast<int>(handle_));  // closing the descriptor drops the lock
  handle_ = kNone;
}

}  // namespace tavex
