#pragma once

// What the parts of a directive's text are, as the analysis of its operands and of the text after
// them both ask.
#include <algorithm>
#include <string_view>

namespace morvcfg {

// True when the text holds a digit: a value the author wrote.
inline bool has_digit(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A number and nothing else: decimal with an optional sign, or hexadecimal after 0x.
inline bool plain_number(std::string_view token) {
    if (token.starts_with("0x") || token.starts_with("0X")) {
        token.remove_prefix(2);
        return !token.empty() && token.find_first_not_of("0123456789abcdefABCDEF") == std::string_view::npos;
    }
    if (token.starts_with('+') || token.starts_with('-')) {
        token.remove_prefix(1);
    }
    return !token.empty() && token.find_first_not_of("0123456789") == std::string_view::npos;
}

// Where a comment starts or ends in the code after a directive's operands: the code stops there.
inline std::size_t comment_start(std::string_view text) {
    return std::min({text.find("/*"), text.find("//"), text.find("*/"), text.size()});
}

}  // namespace morvcfg
