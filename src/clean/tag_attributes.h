// The attributes of one tag, read as a browser reads them, and edits of them.
//
// Positions are 0-based character offsets into the tag text. The passes that
// use this see normalised tag lines ("<img src=a.gif alt=\"x y\">"), but a raw
// tag of a page's head reads the same way.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavex {

struct TTagAttribute {
  std::string_view name;   // as written
  std::string_view value;  // without its quotes; empty when the attribute has none
  size_t begin = 0;        // the attribute's first character in the tag
  size_t end = 0;          // one past its last character (past a closing quote)
};

// Every attribute of the tag that starts at tag[0] ("<name ..."), in order,
// up to its closing ">" or the end of the text. A value is in double or single
// quotes (a missing closing quote runs to the end), or runs unquoted to the
// next white space or ">". The views point into tag.
std::vector<TTagAttribute> TagAttributes(std::string_view tag);
// The same into attributes, emptied first: a pass that reads every tag of a
// page keeps one vector and allocates once.
void ReadTagAttributes(std::string_view tag, std::vector<TTagAttribute>& attributes);

// The first attribute of that name (names compared exactly: the normalised
// form has them in lower case); null when there is none.
const TTagAttribute* FindAttribute(const std::vector<TTagAttribute>& attributes,
                                   std::string_view name);

// What EditTag does with one attribute: nothing means keep it as written, an
// empty text drops it together with the white space before it, any other text
// stands in its place.
using TAttributeEdit = std::function<std::optional<std::string>(const TTagAttribute&)>;

// The tag with every attribute edited, in one pass; the text between the
// attributes stays as it was.
std::string EditTag(std::string_view tag, const std::vector<TTagAttribute>& attributes,
                    const TAttributeEdit& edit);

}  // namespace tavex
