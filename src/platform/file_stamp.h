// What a file looks like from outside: enough to tell that it has changed
// without reading it.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tavex {

// Size in bytes, the times of the last change to the content (mtime) and to
// the file's record (ctime), in nanoseconds since the epoch, and the file's
// identity on its volume. An edit that keeps the size and lands in the same
// mtime tick still moves ctime; a file replaced by another (an editor saving
// under a temporary name and moving it over) changes the identity.
struct TFileStamp {
  uint64_t Size = 0;
  int64_t ModifiedNs = 0;
  int64_t ChangedNs = 0;
  uint64_t Identity = 0;
  bool operator==(const TFileStamp&) const = default;
};

// The stamp of the file at a path text (see platform/files.h); nullopt when
// it does not exist, cannot be examined or is a folder.
std::optional<TFileStamp> FileStampOf(std::string_view path);

// The stamp of the folder at a path text (a link to a folder: the folder it
// leads to), with Size 0. Its times move whenever an entry is added to it,
// removed from it or renamed in it, not for changes inside its sub-folders or
// its files. nullopt when it does not exist, cannot be examined or is a file.
std::optional<TFileStamp> FolderStampOf(std::string_view path);

// Whether the content changed long enough ago (2 seconds) that a later edit
// must move the modification time. File times advance in coarse ticks (a few
// milliseconds, whole seconds on some volumes), so a file read in the same
// tick as an edit that keeps its size can show an unchanged stamp afterwards;
// a file whose stamp is not settled must be read again to be sure.
bool IsSettled(const TFileStamp& stamp);

}  // namespace tavex
