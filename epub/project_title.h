// The name the book gives as its creator and publisher: the help project's
// title, which the editor keeps as the magazine's full name.
#pragma once

#include <string>
#include <string_view>

namespace tavex {

// The value of the "Title=" line of the [OPTIONS] section of the help project
// (an INI file in Windows-1251) at project_path, a path text, as UTF-8 with
// surrounding blanks cut; "Tavex" when the file cannot be read or has no
// such line or an empty one. Keys and section names ignore letter case, as
// the help compiler's do.
std::string ProjectTitle(std::string_view project_path);

}  // namespace tavex
