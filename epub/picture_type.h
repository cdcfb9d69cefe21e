// What kind of picture a file holds, for the book's manifest.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tavex {

struct TPictureType {
  std::string media_type;  // "image/gif", "image/jpeg" or "image/png"
  std::string extension;   // ".gif", ".jpg" or ".png"
};

// The type of a picture by its first bytes (at least 8 of them; a name's
// extension may lie), or nothing for a type that EPUB 3 does not list as a
// core type.
std::optional<TPictureType> PictureType(std::string_view head);

}  // namespace tavex
