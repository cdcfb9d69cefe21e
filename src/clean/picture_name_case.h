// The letter case of picture file names across the normalisation.
//
// The normalisation lower-cases every tag with its attribute values, so a
// page's "Pic.gif" reaches the picture pass as "pic.gif". Looked up ignoring
// case, that still finds the file, unless the folder also holds a file
// spelled "pic.gif" (or another spelling of the name): then the lower-cased
// reference would find another picture. For those references alone the load
// writes each capital letter as its percent escape ("%50ic.gif"), which the
// lower-casing leaves alone and a browser reads as the letter; the picture
// pass reads it back, and the file is found by its exact name. Every other
// reference stays byte for byte, so the editor's rules match as they always
// did.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tavex {

// The reference (an attribute value, entities undone) with its capitals
// escaped, when it names a file beside the article (in article_folder) whose
// exact spelling exists and whose lower-cased spelling leads to another file;
// nothing otherwise.
std::optional<std::string> KeepPictureNameCase(std::string_view article_folder,
                                               std::string_view reference);

// A picture path as the passes read it: "%20" as a space, and the escape of a
// capital letter as that letter (in either case of its hexadecimal digits,
// since the normalisation may have lower-cased them). Other escapes stay.
void UndoPictureEscapes(std::string& path);

}  // namespace tavex
