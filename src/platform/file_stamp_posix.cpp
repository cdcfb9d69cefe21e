// File stamps on POSIX: stat's size, times and inode.
#include <sys/stat.h>

#include "platform/file_stamp.h"
#include "platform/files.h"

namespace tavex {
namespace {

int64_t Nanoseconds(const timespec& time) {
  return static_cast<int64_t>(time.tv_sec) * 1000000000 + time.tv_nsec;
}

}  // namespace

std::optional<TFileStamp> FileStampOf(std::string_view path) {
  struct stat st {};
  if (stat(NativePath(path).c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return std::nullopt;
  return TFileStamp{static_cast<uint64_t>(st.st_size), Nanoseconds(st.st_mtim),
                    Nanoseconds(st.st_ctim), static_cast<uint64_t>(st.st_ino)};
}

}  // namespace tavex
