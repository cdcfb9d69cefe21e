// Web addresses inside a saved page: resolving a reference against the page's
// own address, as a browser does (RFC 3986, section 5).
#pragma once

#include <string>
#include <string_view>

namespace tavex {

// The reference resolved against base ("img/a.png" against
// "http://x.ru/news/1.html" is "http://x.ru/news/img/a.png"; "../a.png",
// "/a.png", "//cdn.x.ru/a.png" and "?v=2" as a browser takes them). A
// reference with a scheme of its own comes back with its dot segments removed;
// with an empty base the reference comes back as it stands. The fragment
// ("#...") of the result is dropped: it never names another resource.
std::string ResolveWebReference(std::string_view base, std::string_view reference);

}  // namespace tavex
