#include "checker/utf8.h"

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

}  // namespace morvcfg
