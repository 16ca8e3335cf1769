#include "translator/scanner.h"

#include <limits>

namespace morvcfg {
namespace {

int digit_value(char c, unsigned base) {
    int value = 99;
    if (c >= '0' && c <= '9') {
        value = c - '0';
    } else if (c >= 'a' && c <= 'f') {
        value = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
        value = c - 'A' + 10;
    }
    return value < static_cast<int>(base) ? value : -1;
}

class Cursor {
public:
    explicit Cursor(std::string_view text) : text_(text) {}

    [[nodiscard]] bool at_end() const { return pos_ == text_.size(); }
    [[nodiscard]] char peek() const { return text_[pos_]; }
    [[nodiscard]] bool peek_is(std::size_t ahead, char a, char b) const {
        return pos_ + ahead < text_.size() && (text_[pos_ + ahead] == a || text_[pos_ + ahead] == b);
    }
    void advance(std::size_t count = 1) { pos_ += count; }
    void skip_space() {
        while (!at_end() && is_scan_space(peek())) {
            advance();
        }
    }
    [[nodiscard]] std::size_t pos() const { return pos_; }
    [[nodiscard]] std::string_view since(std::size_t start) const { return text_.substr(start, pos_ - start); }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

// Reads one number field after its white space has been skipped. False when no digit came.
bool read_number(Cursor& in, unsigned base, ScanField& field) {
    bool negative = false;
    if (!in.at_end() && (in.peek() == '+' || in.peek() == '-')) {
        negative = in.peek() == '-';
        in.advance();
    }
    std::uint64_t value = 0;
    bool any_digit = false;
    if (base == 16 && !in.at_end() && in.peek() == '0' && in.peek_is(1, 'x', 'X')) {
        in.advance(2);
        any_digit = true;
    }
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
    while (!in.at_end()) {
        const int digit = digit_value(in.peek(), base);
        if (digit < 0) {
            break;
        }
        in.advance();
        any_digit = true;
        const auto d = static_cast<std::uint64_t>(digit);
        if (value > (kMax - d) / base) {
            field.negative = negative;
            field.overflowed = true;
            field.bits = negative ? 0U : 0xFFFFFFFFU;
            return true;
        }
        value = value * base + d;
    }
    if (!any_digit) {
        return false;
    }
    field.negative = negative;
    field.magnitude = value;
    field.bits = static_cast<std::uint32_t>(negative ? 0U - value : value);
    return true;
}

}  // namespace

ScanResult scan(std::string_view text, std::string_view pattern) {
    ScanResult result;
    Cursor in(text);
    std::size_t stored = 0;
    std::size_t p = 0;
    const auto fail = [&](std::size_t pattern_pos) {
        result.count = (stored == 0 && in.at_end()) ? -1 : static_cast<int>(stored);
        result.stop = in.pos();
        result.pattern_stop = pattern_pos;
        return result;
    };
    while (p < pattern.size()) {
        const char item = pattern[p];
        if (item == ' ') {
            in.skip_space();
            ++p;
            continue;
        }
        if (item != '%') {
            if (in.at_end() || in.peek() != item) {
                return fail(p);
            }
            in.advance();
            ++p;
            continue;
        }
        // A conversion: %s, %u, %d or %lx.
        const std::size_t start_of_item = p;
        ++p;
        if (p < pattern.size() && pattern[p] == 'l') {
            ++p;
        }
        const char conversion = p < pattern.size() ? pattern[p] : '\0';
        ++p;
        in.skip_space();
        if (in.at_end() || stored == kMaxScanFields) {
            return fail(start_of_item);
        }
        ScanField& field = result.fields[stored];
        const std::size_t start = in.pos();
        if (conversion == 's') {
            while (!in.at_end() && !is_scan_space(in.peek())) {
                in.advance();
            }
        } else if (!read_number(in, conversion == 'x' ? 16U : 10U, field)) {
            return fail(start_of_item);
        }
        field.text = in.since(start);
        ++stored;
    }
    result.count = static_cast<int>(stored);
    result.stop = in.pos();
    result.pattern_stop = pattern.size();
    return result;
}

}  // namespace morvcfg
