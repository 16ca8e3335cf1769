#pragma once

// Characters as C reads them, in the "C" locale whatever the process's.
namespace morvcfg {

// A letter, digit or '_': what a C name is made of.
constexpr bool is_name_char(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// A blank the preprocessor skips within a line: space, tab, vertical tab, form feed.
constexpr bool is_c_blank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

// A blank that indents a line or separates words on it, as editors show them: space and tab.
constexpr bool is_space_or_tab(char c) {
    return c == ' ' || c == '\t';
}

}  // namespace morvcfg
