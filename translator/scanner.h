#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace morvcfg {

// The operand scanner of the directive parsers: a small, exact reading of the usual scanf
// patterns, with these rules.
//
// - A blank in a pattern matches any run of white space (tab, LF, VT, FF, CR, blank), an empty one
//   included. Any other literal byte must equal the next input byte exactly, and skips no white
//   space before it.
// - "%s" skips white space and takes the longest run of other bytes, of any length.
// - "%u" and "%d" skip white space, take one optional sign, then need at least one digit; they
//   are always decimal. The value is kept modulo 2^32 ("%d" reads the same 32 bits as signed).
//   A number too large even for 64 bits ends at the digit that overflows, which is consumed, and
//   yields 0xFFFFFFFF (0 after a minus sign).
// - "%lx" is the same in hexadecimal, with an optional "0x" or "0X" of its own after the sign; the
//   0 of that prefix counts as a digit.
// - Fields are stored as they match, so a scan that fails part-way keeps the earlier fields.
//   The result counts the fields stored, or is -1 when the text ended before the first one.
//   Text after the end of the pattern is ignored.
inline constexpr std::size_t kMaxScanFields = 4;

// One field a scan stored: the input it consumed (for "%s", the token itself) and, for a number,
// its 32 bits.
struct ScanField {
    std::string_view text;
    // For a number, the value as written before it was reduced to 32 bits: its sign and magnitude
    // (the magnitude is meaningless when the number overflowed 64 bits).
    std::uint64_t magnitude;
    std::uint32_t bits;
    bool negative;
    // True when a number overflowed 64 bits and was cut short.
    bool overflowed;
};

struct ScanResult {
    // Fields stored, or -1 when the text ended before the first field was stored.
    int count = 0;
    // The first stored() of them are set. The rest are left as they are, unread: a scan runs for
    // every directive, and clearing all four fields each time cost more than the scan itself.
    std::array<ScanField, kMaxScanFields> fields;
    // Offset in the text where scanning stopped.
    std::size_t stop = 0;
    // Offset in the pattern of the item that did not match; the pattern's size when it all did.
    std::size_t pattern_stop = 0;

    // Number of fields stored, with -1 counted as none.
    [[nodiscard]] std::size_t stored() const { return count > 0 ? static_cast<std::size_t>(count) : 0; }
};

// True for the bytes the scanner treats as white space.
constexpr bool is_scan_space(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte == ' ' || static_cast<unsigned char>(byte - '\t') <= '\r' - '\t';
}

// Scans `text` with `pattern`. The pattern must hold at most kMaxScanFields conversions.
ScanResult scan(std::string_view text, std::string_view pattern);

}  // namespace morvcfg
