// Advisory locks that keep two runs of the program off one folder.
//
// The lock is held from a successful TryLock until the object is destroyed or
// Unlock is called, and the operating system drops it when the process dies,
// so a killed run never leaves a folder locked. It keeps out only other
// FolderLocks (in this or another process) on the same folder; files stay
// readable and writable for everyone.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/held_folder.h"

namespace tavex {

class FolderLock {
 public:
  enum class Result {
    Locked,  // this object now holds the folder's lock
    Busy,    // another holder has it (another run, or another FolderLock here)
    Failed,  // the folder could not be opened for locking (errno tells why)
  };

  FolderLock() = default;
  ~FolderLock() { Unlock(); }
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

  // Tries once, never waits. The folder must exist. A lock already held by
  // this object is released first.
  Result TryLock(std::string_view folder);
  // The same for a folder held open: the lock is on that very folder,
  // whatever its names lead to now.
  Result TryLock(const HeldFolder& folder);
  void Unlock();
  bool held() const { return handle_ != kNone; }

 private:
  static constexpr intptr_t kNone = -1;
  intptr_t handle_ = kNone;  // a file descriptor on POSIX, a HANDLE on Windows
};

}  // namespace tavex
