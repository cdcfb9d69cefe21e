// Folder locks on POSIX: flock on a descriptor of the folder itself, so no lock
// file is left behind and the kernel drops the lock with the process.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "platform/files.h"
#include "platform/folder_lock.h"

namespace tavex {

FolderLock::Result FolderLock::TryLock(std::string_view folder) {
  Unlock();
  const int fd = ::open(NativePath(folder).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return Result::Failed;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int saved = errno;
    ::close(fd);
    errno = saved;
    return saved == EWOULDBLOCK ? Result::Busy : Result::Failed;
  }
  handle_ = fd;
  return Result::Locked;
}

void FolderLock::Unlock() {
  if (handle_ == kNone) return;
  ::close(static_cast<int>(handle_));  // closing the descriptor drops the lock
  handle_ = kNone;
}

}  // namespace tavex
