#pragma once

#include <cstddef>
#include <string_view>

namespace morvcfg {

// The length of the well-formed UTF-8 sequence at the front of `bytes`: 1 for ASCII, 2 to 4 for
// a multi-byte character, 0 when the bytes there are not well-formed UTF-8 (a stray continuation
// byte, an overlong form, a surrogate, a value past U+10FFFF, or a sequence cut short).
std::size_t utf8_length(std::string_view bytes);

}  // namespace morvcfg
