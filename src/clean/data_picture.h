// data: addresses: pictures written into a page's own text, as single-file
// saves and many sites' placeholders carry them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tavex {

// The extension of a picture of this media type (".png", ".jpg", ".gif",
// ".webp", ".svg"), letter case and parameters ignored; empty for any other
// type, which the issue does not carry as a picture.
std::string_view PictureExtensionOf(std::string_view media_type);

struct TDataPicture {
  std::string extension;  // from the media type, as PictureExtensionOf gives it
  std::string bytes;
};

// The picture a data: address holds ("data:image/png;base64,iVBO...",
// "data:image/svg+xml,%3Csvg..."), decoded as a browser does: the body is
// percent-decoded, then, with ";base64", base64-decoded (white space ignored,
// padding optional). Nothing when it is not a data: address, its media type
// is no picture type, its base64 is broken or it holds no bytes.
std::optional<TDataPicture> DecodeDataPicture(std::string_view address);

}  // namespace tavex
