// Modification times on Windows: SetFileTime on a handle opened with backup
// semantics, the only way a folder can be opened.
#include <windows.h>

#include <stdexcept>

#include "support/file_times.h"

namespace tavex::test {

void SetModifiedTime(const std::filesystem::path& path,
                     std::chrono::system_clock::time_point when) {
  // 100-nanosecond ticks since 1601.
  constexpr long long kEpochTicks = 116444736000000000LL;
  const long long ticks =
      std::chrono::duration_cast<std::chrono::nanoseconds>(when.time_since_epoch()).count() / 100 +
      kEpochTicks;
  FILETIME time;
  time.dwLowDateTime = static_cast<DWORD>(ticks & 0xFFFFFFFF);
  time.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
  HANDLE handle = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  const bool ok = handle != INVALID_HANDLE_VALUE && SetFileTime(handle, nullptr, nullptr, &time);
  if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  if (!ok) throw std::runtime_error("cannot set the time of " + path.string());
}

}  // namespace tavex::test
