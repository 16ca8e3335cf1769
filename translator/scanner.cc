#include "translator/scanner.h"

#include <limits>

namespace morvcfg {
namespace {

template <unsigned Base>
int digit_value(char c) {
    if (const unsigned decimal = static_cast<unsigned char>(c) - unsigned{'0'}; decimal <= 9) {
        return static_cast<int>(decimal);
    }
    if constexpr (Base == 16) {
        if (c >= 'a' && c <= 'f') {
            return c - 'a' + 10;
        }
        if (c >= 'A' && c <= 'F') {
            return c - 'A' + 10;
        }
    }
    return -1;
}

// Reads one number field after its white space has been skipped, moving `in` past what it
// consumed (a lone sign included). False when no digit came. The base is a constant, so the
// overflow test divides by a constant, which compiles to no division.
template <unsigned Base>
bool read_number(const char*& in, const char* end, ScanField& field) {
    bool negative = false;
    if (in != end && (*in == '+' || *in == '-')) {
        negative = *in == '-';
        ++in;
    }
    std::uint64_t value = 0;
    bool any_digit = false;
    if constexpr (Base == 16) {
        if (end - in >= 2 && in[0] == '0' && (in[1] == 'x' || in[1] == 'X')) {
            in += 2;
            any_digit = true;
        }
    }
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
    for (; in != end; ++in) {
        const int digit = digit_value<Base>(*in);
        if (digit < 0) {
            break;
        }
        any_digit = true;
        const auto d = static_cast<std::uint64_t>(digit);
        // Below the first bound no digit can overflow; only near it is the exact test needed.
        if (value > (kMax - (Base - 1)) / Base && value > (kMax - d) / Base) {
            ++in;
            field.negative = negative;
            field.overflowed = true;
            field.bits = negative ? 0U : 0xFFFFFFFFU;
            return true;
        }
        value = value * Base + d;
    }
    if (!any_digit) {
        return false;
    }
    field.negative = negative;
    field.magnitude = value;
    field.bits = static_cast<std::uint32_t>(negative ? 0U - value : value);
    return true;
}

const char* skip_space(const char* in, const char* end) {
    while (in != end && is_scan_space(*in)) {
        ++in;
    }
    return in;
}

// The end of the token that starts at `in`. Token bytes are mostly above the blank, which is all
// white space is not.
const char* skip_token(const char* in, const char* end) {
    while (in != end && (static_cast<unsigned char>(*in) > ' ' || !is_scan_space(*in))) {
        ++in;
    }
    return in;
}

}  // namespace

ScanResult scan(std::string_view text, std::string_view pattern) {
    ScanResult result;
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    const char* in = begin;
    std::size_t stored = 0;
    std::size_t p = 0;
    while (p < pattern.size()) {
        const char item = pattern[p];
        if (item == ' ') {
            in = skip_space(in, end);
            ++p;
            continue;
        }
        if (item != '%') {
            if (in == end || *in != item) {
                break;
            }
            ++in;
            ++p;
            continue;
        }
        // A conversion: %s, %u, %d or %lx.
        std::size_t next = p + 1;
        if (next < pattern.size() && pattern[next] == 'l') {
            ++next;
        }
        const char conversion = next < pattern.size() ? pattern[next] : '\0';
        in = skip_space(in, end);
        if (in == end || stored == kMaxScanFields) {
            break;
        }
        ScanField& field = result.fields[stored];
        field = ScanField{};
        const char* const start = in;
        if (conversion == 's') {
            in = skip_token(in, end);
        } else if (!(conversion == 'x' ? read_number<16>(in, end, field) : read_number<10>(in, end, field))) {
            break;
        }
        field.text = std::string_view(start, static_cast<std::size_t>(in - start));
        ++stored;
        p = next + 1;
    }
    // Stopped at item p: -1 when the text ran out before anything was stored.
    result.count = (p < pattern.size() && stored == 0 && in == end) ? -1 : static_cast<int>(stored);
    result.stop = static_cast<std::size_t>(in - begin);
    result.pattern_stop = p;
    return result;
}

}  // namespace morvcfg
