// File stamps on POSIX: stat's size, times and inode.
#include <sys/stat.h>

#include <cerrno>

#include "platform/file_stamp.h"
#include "platform/files.h"

namespace tavex {
namespace {

int64_t Nanoseconds(const timespec& time) {
  return static_cast<int64_t>(time.tv_sec) * 1000000000 + time.tv_nsec;
}

// The stamp of what path leads to, when it is a folder exactly when folder
// says so.
std::optional<TFileStamp> StampOf(std::string_view path, bool folder) {
  struct stat st {};
  // NativePath looks for a case variant only when nothing has the exact name.
  const bool found = stat(NativePath(path).c_str(), &st) == 0;
  if (!found || S_ISDIR(st.st_mode) != folder) return std::nullopt;
  return TFileStamp{folder ? 0 : static_cast<uint64_t>(st.st_size), Nanoseconds(st.st_mtim),
                    Nanoseconds(st.st_ctim), static_cast<uint64_t>(st.st_ino)};
}

}  // namespace

std::optional<TFileStamp> FileStampOf(std::string_view path) {
  return StampOf(path, false);
}

std::optional<TFileStamp> FolderStampOf(std::string_view path) {
  return StampOf(path, true);
}

}  // namespace tavex
