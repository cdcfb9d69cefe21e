// The web addresses of saved pages: the ones a page states for itself, and
// the keys by which a link's address is matched with them.
//
// Texts are Windows-1251. Addresses are compared in lower case, since the
// normalisation has lower-cased every link of a cleaned page.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tavex {

// The addresses a saved page's head gives for the page, in this order: the
// "saved from url=(NNNN)..." comment browsers write at the top (NNNN is the
// address's length), the content of <meta property="og:url"> (or name=), and
// the href of <link rel="canonical">; each once, in lower case, "&amp;" read
// as "&". Only web addresses (http, https) count. head is the page's start in
// any letter case, tags as written; a tag cut off at its end is passed over.
std::vector<std::string> SavedPageAddresses(std::string_view head);

// The key under which two spellings of one web address meet: lower case,
// without the fragment, the scheme ("http://", "https://", "//"), a leading
// "www." and a trailing "/" or empty query "?"; "&amp;" read as "&". Empty for anything that is
// not an http or https address (mailto:, a relative path).
std::string AddressKey(std::string_view address);

// The absolute address that reference, found on the page at base (an http or
// https address), leads to: "//host/x", "/x", "?q" and relative paths with
// "." and ".." segments are resolved as browsers do. A reference with a
// scheme of its own comes back as it is; empty when base is no web address.
std::string ResolveAddress(std::string_view base, std::string_view reference);

}  // namespace tavex
