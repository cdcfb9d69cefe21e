// References as pages write them (src, srcset, href values), read as names of
// files beside a saved page or as web addresses, and resolved against the
// page's own address as a browser does (RFC 3986, section 5).
//
// The texts are Windows-1251 like everything in the core. Saved pages write
// names of files with non-Latin letters percent-encoded ("%D0%BF" is the UTF-8
// of a Cyrillic letter), and the normalisation has lower-cased them.
#pragma once

#include <string>
#include <string_view>

namespace tavex {

// True when the reference names a scheme ("http:", "data:", "mailto:") or a
// drive ("c:"), starts at a root ("/", "\") or is scheme-relative ("//host"):
// anything that is not a path relative to the page's own folder.
bool IsOutsideReference(std::string_view reference);

// The reference without its fragment ("#...") and query ("?..."), as far as
// they go; "a.htm?x=1#top" gives "a.htm".
std::string_view WithoutQuery(std::string_view reference);

// The fragment after the first "#" with the "#"; empty when there is none.
std::string_view FragmentOf(std::string_view reference);

// The reference as a name of a file: "&amp;" read as "&", every "%XX" of two
// hexadecimal digits (either case) read as its byte, and each run of such
// bytes that is valid UTF-8 turned into Windows-1251 (a run that is not is
// taken byte for byte, as an old page wrote its own code page). "/" becomes
// "\". Nothing else changes, so a "%" without two digits stays.
std::string DecodeFileReference(std::string_view reference);

// The text without the white space (codes up to 32) at its ends, as a
// browser reads an attribute's reference.
std::string_view TrimSpaces(std::string_view text);

// The last part of a path or address after "/" or "\"; "" when it ends so.
std::string_view LastPathPart(std::string_view path);

// The reference resolved against base ("img/a.png" against
// "http://x.ru/news/1.html" is "http://x.ru/news/img/a.png"; "../a.png",
// "/a.png", "//cdn.x.ru/a.png" and "?v=2" as a browser takes them). A
// reference with a scheme of its own comes back with its dot segments removed;
// with an empty base the reference comes back as it stands. The fragment
// ("#...") of the result is dropped: it never names another resource.
std::string ResolveWebReference(std::string_view base, std::string_view reference);

}  // namespace tavex
