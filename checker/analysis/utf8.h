#pragma once

#include <cstddef>
#include <string_view>

namespace morvcfg {

// The length of the well-formed UTF-8 sequence at the front of `bytes`: 1 for ASCII, 2 to 4 for
// a multi-byte character, 0 when the bytes there are not well-formed UTF-8 (a stray continuation
// byte, an overlong form, a surrogate, a value past U+10FFFF, or a sequence cut short).
std::size_t utf8_length(std::string_view bytes);
// The code point of a well-formed sequence of `length` bytes at the front of `bytes`.
char32_t utf8_code_point(std::string_view bytes, std::size_t length);
// The columns a terminal gives a printable code point: 2 for East Asian wide and full-width
// characters, 0 for combining marks, 1 for the rest.
int terminal_width(char32_t code_point);
// What an invisible or blank-looking code point is, in words ("a no-break space"), for messages
// that would otherwise show nothing, or what looks like an ordinary space; empty for any other.
std::string_view invisible_name(char32_t code_point);

}  // namespace morvcfg
