// File stamps on Windows: the size, write and change times and file index
// of an open handle (the handle only reads attributes, so it never stands in
// the way of an editor saving the file).
#include <windows.h>

#include "platform/file_stamp.h"
#include "platform/files.h"

namespace tavex {
namespace {

// 100-nanosecond ticks since 1601 as nanoseconds since 1970.
int64_t Nanoseconds(LARGE_INTEGER ticks) {
  constexpr int64_t kEpochTicks = 116444736000000000LL;
  return (ticks.QuadPart - kEpochTicks) * 100;
}

// The stamp of what path leads to, when it is a folder exactly when folder
// says so.
std::optional<TFileStamp> StampOf(std::string_view path, bool folder) {
  HANDLE file = CreateFileW(NativePath(path).c_str(), FILE_READ_ATTRIBUTES,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info{};
  FILE_BASIC_INFO basic{};
  const bool ok = GetFileInformationByHandle(file, &info) &&
                  GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic);
  CloseHandle(file);
  if (!ok || ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) != folder)
    return std::nullopt;
  TFileStamp stamp;
  if (!folder) stamp.Size = (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  stamp.ModifiedNs = Nanoseconds(basic.LastWriteTime);
  stamp.ChangedNs = Nanoseconds(basic.ChangeTime);
  stamp.Identity = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  return stamp;
}

}  // namespace

std::optional<TFileStamp> FileStampOf(std::string_view path) {
  return StampOf(path, false);
}

std::optional<TFileStamp> FolderStampOf(std::string_view path) {
  return StampOf(path, true);
}

}  // namespace tavex
