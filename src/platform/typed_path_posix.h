// A path text in the system's form as typed (UTF-8, "/"), without the
// case-insensitive lookup NativePath makes. For the POSIX file layer's calls
// that try the exact name first and look for a case variant only when nothing
// has that name, saving NativePath's lstat on the usual hit.
#pragma once

#include <filesystem>
#include <string_view>

namespace tavex {

std::filesystem::path TypedPath(std::string_view path);

}  // namespace tavex
