#include "epub/picture_type.h"

namespace tavex {

std::optional<TPictureType> PictureType(std::string_view head) {
  if (head.substr(0, 6) == "GIF87a" || head.substr(0, 6) == "GIF89a")
    return TPictureType{"image/gif", ".gif"};
  if (head.substr(0, 3) == "\xff\xd8\xff") return TPictureType{"image/jpeg", ".jpg"};
  if (head.substr(0, 8) == "\x89PNG\r\n\x1a\n") return TPictureType{"image/png", ".png"};
  return std::nullopt;
}

}  // namespace tavex
