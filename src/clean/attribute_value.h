// The value of one attribute on a normalised tag line.
#pragma once

#include <string_view>

namespace tavex {

// name includes the space before it and the equals sign (" class=",
// " content="); its first occurrence counts. A value in double or single
// quotes runs to the closing quote (to the end of the line when there is
// none); an unquoted one to the first space, "/" or ">". Empty when the line
// has no such attribute. The view points into line.
std::string_view AttributeValue(std::string_view line, std::string_view name);

}  // namespace tavex
