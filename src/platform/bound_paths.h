// The platform layer's side of FolderBinding (held_folder.h): which binding a
// path text falls under, and what is left of the text below it. For the
// files_*.cpp implementations only.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/held_folder.h"

namespace tavex {

struct TBinding {
  std::vector<std::string> parts;      // the bound text's parts, "." and empty ones dropped
  bool rooted = false;                 // the bound text is absolute (see IsRootedText)
  const HeldFolder* folder = nullptr;  // null: the text names nothing
  LinkRule links = LinkRule::Followed;
  std::string file_name;  // a file binding: the name it maps its text to; else empty
};

// A path text under a binding: the parts of the text after the bound ones
// (empty for the bound text itself), "." and empty parts dropped.
struct TBoundPath {
  const TBinding* binding = nullptr;
  std::vector<std::string> rest;
};

// The binding with the longest text that path falls under; binding null when
// none does.
TBoundPath FindBinding(std::string_view path);
// Whether any binding lives (a run is on: unbound writes are refused).
bool AnyBinding();

// A new handle of the folder a path text reaches (through its binding, when
// it has one), opened for reading; HeldFolder::kNone with errno set when there
// is none. The caller closes it. Per system.
intptr_t OpenFolderHandle(std::string_view path);

// The parts of a path text: split at "\" and "/", "." and empty parts dropped.
std::vector<std::string> PathParts(std::string_view path);
// Whether a path text starts at a root of its own (the system's root, a
// drive or a share) rather than at the current folder. Per system.
bool IsRootedText(std::string_view path);

}  // namespace tavex
