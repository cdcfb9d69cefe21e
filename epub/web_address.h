// Web addresses of a page's links in the form a book may carry.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tavex {

// The address as a valid ASCII URL: bytes that may not stand in one are
// percent-encoded (spaces, Cyrillic, a stray "%", a second "#"), and a host
// with non-ASCII letters gets its internationalised (punycode) form, since a
// host cannot be percent-encoded. Nothing when the host holds characters that
// no host may hold.
std::optional<std::string> EncodeWebAddress(std::string_view address);

// One host label ("römö", UTF-8) as "xn--" + its punycode, lower-cased; ASCII
// labels come back lower-cased. Nothing when the label is not UTF-8.
std::optional<std::string> PunycodeLabel(std::string_view label);

}  // namespace tavex
