#include "checker/analysis/utf8.h"

#include <algorithm>
#include <iterator>

namespace morvcfg {
namespace {

bool continuation(unsigned char byte) {
    return byte >= 0x80 && byte <= 0xBF;
}

}  // namespace

std::size_t utf8_length(std::string_view bytes) {
    if (bytes.empty()) {
        return 0;
    }
    const auto lead = static_cast<unsigned char>(bytes[0]);
    if (lead < 0x80) {
        return 1;
    }
    // The continuation bytes a lead byte takes, and the range the first of them must fall in
    // (narrower after E0, ED, F0 and F4, which would otherwise allow overlong forms, surrogates
    // or values past U+10FFFF).
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (bytes.size() < length) {
        return 0;
    }
    const auto first = static_cast<unsigned char>(bytes[1]);
    if (first < low || first > high) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if (!continuation(static_cast<unsigned char>(bytes[i]))) {
            return 0;
        }
    }
    return length;
}

char32_t utf8_code_point(std::string_view bytes, std::size_t length) {
    constexpr unsigned char kLeadBits[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    char32_t code_point = static_cast<unsigned char>(bytes[0]) & kLeadBits[length];
    for (std::size_t i = 1; i < length; ++i) {
        code_point = (code_point << 6U) | (static_cast<unsigned char>(bytes[i]) & 0x3FU);
    }
    return code_point;
}

int terminal_width(char32_t code_point) {
    // The main blocks of Unicode's East Asian Wide and Fullwidth classes, and of combining marks.
    struct WidthRange {
        char32_t first;
        char32_t last;
        int width;  // cppcheck-suppress unusedStructMember ; read through the found row
    };
    static constexpr WidthRange kRanges[] = {
        {0x0300, 0x036F, 0},   {0x0483, 0x0489, 0},   {0x0591, 0x05BD, 0}, {0x0610, 0x061A, 0},   {0x064B, 0x065F, 0},
        {0x1100, 0x115F, 2},   {0x200B, 0x200F, 0},   {0x20D0, 0x20FF, 0}, {0x231A, 0x231B, 2},   {0x2E80, 0x303E, 2},
        {0x3041, 0x33FF, 2},   {0x3400, 0x4DBF, 2},   {0x4E00, 0x9FFF, 2}, {0xA000, 0xA4CF, 2},   {0xA960, 0xA97F, 2},
        {0xAC00, 0xD7A3, 2},   {0xF900, 0xFAFF, 2},   {0xFE00, 0xFE0F, 0}, {0xFE10, 0xFE19, 2},   {0xFE20, 0xFE2F, 0},
        {0xFE30, 0xFE6F, 2},   {0xFF00, 0xFF60, 2},   {0xFFE0, 0xFFE6, 2}, {0x1F300, 0x1F64F, 2}, {0x1F900, 0x1F9FF, 2},
        {0x20000, 0x2FFFD, 2}, {0x30000, 0x3FFFD, 2},
    };
    const auto* const range = std::find_if(std::begin(kRanges), std::end(kRanges), [code_point](const WidthRange& r) {
        return code_point >= r.first && code_point <= r.last;
    });
    return range != std::end(kRanges) ? range->width : 1;
}

std::string_view invisible_name(char32_t code_point) {
    // Characters that show as nothing or as an ordinary blank, yet are not one to morvcfg: pasted
    // from a web page or a word processor, or left by joining files (a byte-order mark).
    struct Invisible {
        char32_t first;
        char32_t last;
        std::string_view name;  // cppcheck-suppress unusedStructMember ; read through the found row
    };
    static constexpr Invisible kInvisible[] = {
        {0x00A0, 0x00A0, "a no-break space"},
        {0x00AD, 0x00AD, "a soft hyphen"},
        {0x180E, 0x180E, "a Mongolian vowel separator"},
        {0x2000, 0x200A, "a typographic space"},
        {0x200B, 0x200B, "a zero-width space"},
        {0x200C, 0x200C, "a zero-width non-joiner"},
        {0x200D, 0x200D, "a zero-width joiner"},
        {0x200E, 0x200F, "a direction mark"},
        {0x2028, 0x2028, "a line separator"},
        {0x2029, 0x2029, "a paragraph separator"},
        {0x202A, 0x202E, "a direction control"},
        {0x202F, 0x202F, "a narrow no-break space"},
        {0x205F, 0x205F, "a mathematical space"},
        {0x2060, 0x2060, "a word joiner"},
        {0x2061, 0x2064, "an invisible operator"},
        {0x2066, 0x2069, "a direction isolate"},
        {0x3000, 0x3000, "an ideographic space"},
        {0xFEFF, 0xFEFF, "a byte-order mark in the middle of the file"},
    };
    const auto* const found =
        std::find_if(std::begin(kInvisible), std::end(kInvisible),
                     [code_point](const Invisible& i) { return code_point >= i.first && code_point <= i.last; });
    return found != std::end(kInvisible) ? found->name : std::string_view();
}

}  // namespace morvcfg
