// SHA-256 of a byte string, for telling files apart by their whole contents.
//
// The picture register numbers two pictures alike only when their bytes are
// equal; the quick fingerprint alone is a 16-bit sum, which different files
// share all the time, and a page can be made to collide with it on purpose. A
// digest of the whole file makes "equal digests" mean "equal bytes" for any
// file a page can bring.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace tavex {

using Sha256Digest = std::array<uint8_t, 32>;

Sha256Digest Sha256(std::string_view bytes);

}  // namespace tavex
