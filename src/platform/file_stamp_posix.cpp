// File stamps on POSIX: stat's size, times and inode.
#include <sys/stat.h>

#include <cerrno>

#include "platform/file_stamp.h"
#include "platform/files.h"
#include "platform/typed_path_posix.h"

namespace tavex {
namespace {

int64_t Nanoseconds(const timespec& time) {
  return static_cast<int64_t>(time.tv_sec) * 1000000000 + time.tv_nsec;
}

// The stamp of what path leads to, when it is a folder exactly when folder
// says so.
std::optional<TFileStamp> StampOf(std::string_view path, bool folder) {
  struct stat st {};
  // The name as typed first; a case variant is looked for only when nothing
  // has that exact name.
  const bool found =
      stat(TypedPath(path).c_str(), &st) == 0 ||
      ((errno == ENOENT || errno == ENOTDIR) && stat(NativePath(path).c_str(), &st) == 0);
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
