// Modification times on POSIX: utimensat, which takes folders as files.
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <system_error>

#include "support/file_times.h"

namespace tavex::test {

void SetModifiedTime(const std::filesystem::path& path,
                     std::chrono::system_clock::time_point when) {
  const auto ns =
      std::chrono::duration_cast<std::chrono::nanoseconds>(when.time_since_epoch()).count();
  const timespec times[2] = {
      {0, UTIME_OMIT}, {static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)}};
  if (::utimensat(AT_FDCWD, path.c_str(), times, 0) != 0)
    throw std::system_error(errno, std::generic_category(),
                            "cannot set the time of " + path.string());
}

}  // namespace tavex::test
