#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string_view>
#include <utility>

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

// One item of a pattern: a blank, a literal byte or a conversion.
struct ScanStep {
    enum class Kind : unsigned char { Space, Literal, Text, Decimal, Hex };
    Kind kind = Kind::Space;
    char literal = '\0';
    // Conversions before this item, which is the index of the field a conversion stores into.
    std::size_t field = 0;
    // Where the item starts in the pattern, and where the next one starts.
    std::size_t start = 0;
    std::size_t end = 0;

    // True for a conversion, which stores a field.
    [[nodiscard]] constexpr bool stores() const { return kind != Kind::Space && kind != Kind::Literal; }
};

// The item of `pattern` that starts at `start`, with `field` conversions before it.
constexpr ScanStep scan_step(std::string_view pattern, std::size_t start, std::size_t field) {
    const char item = pattern[start];
    if (item == ' ') {
        return {ScanStep::Kind::Space, '\0', field, start, start + 1};
    }
    if (item != '%') {
        return {ScanStep::Kind::Literal, item, field, start, start + 1};
    }
    // A conversion: %s, %u, %d or %lx; anything else reads a decimal number.
    std::size_t at = start + 1;
    if (at < pattern.size() && pattern[at] == 'l') {
        ++at;
    }
    const char conversion = at < pattern.size() ? pattern[at] : '\0';
    const ScanStep::Kind kind = conversion == 's'   ? ScanStep::Kind::Text
                                : conversion == 'x' ? ScanStep::Kind::Hex
                                                    : ScanStep::Kind::Decimal;
    return {kind, '\0', field, start, at + 1};
}

// A pattern known when the program is built, cut into its items once.
template <std::size_t Count>
struct CompiledPattern {
    std::array<ScanStep, Count> steps;
    // Conversions in all, and where the pattern stops after its last item.
    std::size_t fields;
    std::size_t end;
};

// The number of items in `pattern`.
constexpr std::size_t scan_step_count(std::string_view pattern) {
    std::size_t count = 0;
    for (std::size_t at = 0; at < pattern.size(); at = scan_step(pattern, at, 0).end) {
        ++count;
    }
    return count;
}

template <const std::string_view& Pattern>
constexpr auto compile_pattern() {
    CompiledPattern<scan_step_count(Pattern)> compiled{{}, 0, 0};
    for (ScanStep& step : compiled.steps) {
        step = scan_step(Pattern, compiled.end, compiled.fields);
        compiled.end = step.end;
        compiled.fields += step.stores() ? 1 : 0;
    }
    return compiled;
}

namespace scan_detail {

template <unsigned Base>
constexpr int digit_value(char c) {
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
    const char* at = in;
    bool negative = false;
    if (at != end && (*at == '+' || *at == '-')) {
        negative = *at == '-';
        ++at;
    }
    std::uint64_t value = 0;
    bool any_digit = false;
    if constexpr (Base == 16) {
        if (end - at >= 2 && at[0] == '0' && (at[1] == 'x' || at[1] == 'X')) {
            at += 2;
            any_digit = true;
        }
    }
    // Up to this many digits no value can overflow 64 bits; only a longer number needs the test.
    constexpr std::ptrdiff_t kSafeDigits = Base == 16 ? 16 : 19;
    const char* const safe_end = end - at > kSafeDigits ? at + kSafeDigits : end;
    const char* const digits = at;
    for (int digit = 0; at != safe_end && (digit = digit_value<Base>(*at)) >= 0; ++at) {
        value = value * Base + static_cast<std::uint64_t>(digit);
    }
    any_digit = any_digit || at != digits;
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
    for (int digit = 0; at - digits >= kSafeDigits && at != end && (digit = digit_value<Base>(*at)) >= 0; ++at) {
        const auto d = static_cast<std::uint64_t>(digit);
        if (value > (kMax - d) / Base) {
            in = at + 1;
            field.negative = negative;
            field.overflowed = true;
            field.bits = negative ? 0U : 0xFFFFFFFFU;
            return true;
        }
        value = value * Base + d;
    }
    in = at;
    if (!any_digit) {
        return false;
    }
    field.negative = negative;
    field.magnitude = value;
    field.bits = static_cast<std::uint32_t>(negative ? 0U - value : value);
    return true;
}

inline const char* skip_space(const char* in, const char* end) {
    while (in != end && is_scan_space(*in)) {
        ++in;
    }
    return in;
}

// The end of the token that starts at `in`. Token bytes are mostly above the blank, which is all
// white space is not.
inline const char* skip_token(const char* in, const char* end) {
    while (in != end && (static_cast<unsigned char>(*in) > ' ' || !is_scan_space(*in))) {
        ++in;
    }
    return in;
}

}  // namespace scan_detail

// A scan in progress: the text still to read and the result so far.
class ScanState {
public:
    ScanState(std::string_view text, ScanResult& result)
        : begin_(text.data()), in_(text.data()), end_(text.data() + text.size()), result_(result) {}

    // Matches one item against the text; false when it does not match, which ends the scan.
    bool apply(const ScanStep& step) {
        using Kind = ScanStep::Kind;
        switch (step.kind) {
            case Kind::Space:
                return match_space();
            case Kind::Literal:
                return match_literal(step.literal);
            case Kind::Text:
                return match_field<Kind::Text>(step.field);
            case Kind::Hex:
                return match_field<Kind::Hex>(step.field);
            case Kind::Decimal:
                break;
        }
        return match_field<Kind::Decimal>(step.field);
    }
    // The same for an item known when the program is built: only its own branch is compiled.
    template <ScanStep Step>
    bool apply() {
        using Kind = ScanStep::Kind;
        if constexpr (Step.kind == Kind::Space) {
            return match_space();
        } else if constexpr (Step.kind == Kind::Literal) {
            return match_literal(Step.literal);
        } else {
            static_assert(Step.field < kMaxScanFields);
            return match_field<Step.kind>(Step.field);
        }
    }
    // Completes the result of a scan that ended at `step` (failed) or after all its items.
    void failed_at(const ScanStep& step) { finish(step.field, step.start, true); }
    void completed(std::size_t fields, std::size_t pattern_size) { finish(fields, pattern_size, false); }

private:
    bool match_space() {
        in_ = scan_detail::skip_space(in_, end_);
        return true;
    }
    bool match_literal(char literal) {
        if (in_ == end_ || *in_ != literal) {
            return false;
        }
        ++in_;
        return true;
    }
    template <ScanStep::Kind Kind>
    bool match_field(std::size_t index) {
        in_ = scan_detail::skip_space(in_, end_);
        if (in_ == end_ || index >= kMaxScanFields) {
            return false;
        }
        // Set member by member: assigning a whole ScanField{} compiles to a slow string store.
        ScanField& field = result_.fields[index];
        field.magnitude = 0;
        field.bits = 0;
        field.negative = false;
        field.overflowed = false;
        const char* const start = in_;
        if constexpr (Kind == ScanStep::Kind::Text) {
            in_ = scan_detail::skip_token(in_, end_);
        } else {
            constexpr unsigned kBase = Kind == ScanStep::Kind::Hex ? 16 : 10;
            if (!scan_detail::read_number<kBase>(in_, end_, field)) {
                return false;
            }
        }
        field.text = std::string_view(start, static_cast<std::size_t>(in_ - start));
        return true;
    }
    void finish(std::size_t stored, std::size_t pattern_stop, bool failed) {
        // -1 when the text ran out before anything was stored.
        result_.count = failed && stored == 0 && in_ == end_ ? -1 : static_cast<int>(stored);
        result_.stop = static_cast<std::size_t>(in_ - begin_);
        result_.pattern_stop = pattern_stop;
    }

    const char* begin_;
    const char* in_;
    const char* end_;
    ScanResult& result_;
};

// Scans `text` with `pattern`. The pattern must hold at most kMaxScanFields conversions.
ScanResult scan(std::string_view text, std::string_view pattern);

// A pattern fixed when the program is built, cut into its items once.
template <const std::string_view& Pattern>
inline constexpr auto kCompiledPattern = compile_pattern<Pattern>();

// The same scan with a pattern fixed when the program is built, its items laid out one after the
// other: the directive parsers run one for every directive.
template <const std::string_view& Pattern>
ScanResult scan(std::string_view text) {
    constexpr const auto& kCompiled = kCompiledPattern<Pattern>;
    ScanResult result;
    ScanState state(text, result);
    // Each item is tried in turn until one fails; that one, if any, says where the scan stopped.
    const ScanStep* failure = nullptr;
    [&]<std::size_t... Index>(std::index_sequence<Index...>) {
        (void)((state.template apply<kCompiled.steps[Index]>() || (failure = &kCompiled.steps[Index], false)) && ...);
    }
    (std::make_index_sequence<kCompiled.steps.size()>{});
    if (failure != nullptr) {
        state.failed_at(*failure);
    } else {
        state.completed(kCompiled.fields, kCompiled.end);
    }
    return result;
}

}  // namespace morvcfg
