#include "checker/analysis/source_display.h"

#include <algorithm>
#include <cstdio>

#include "checker/analysis/utf8.h"

namespace morvcfg {
namespace {

constexpr std::size_t kTabStop = 8;

std::string hex(unsigned value, int digits) {
    char buffer[16];
    (void)std::snprintf(buffer, sizeof buffer, "%0*X", digits, value);
    return buffer;
}

}  // namespace

ShownLine::ShownLine(std::string_view bytes) {
    if (bytes.ends_with('\r')) {
        bytes.remove_suffix(1);  // the CR of a CR LF line end
    }
    places_.reserve(bytes.size() + 1);
    std::size_t column = 0;
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length = utf8_length(bytes.substr(i));
        std::string shown;
        std::size_t width = 0;
        if (length == 0) {
            shown = "<" + hex(static_cast<unsigned char>(bytes[i]), 2) + ">";
            width = shown.size();
        } else if (const char32_t code_point = utf8_code_point(bytes.substr(i), length); code_point == '\t') {
            width = kTabStop - column % kTabStop;
            shown.assign(width, ' ');
        } else if (code_point < 0x20 || (code_point >= 0x7F && code_point < 0xA0) ||
                   !invisible_name(code_point).empty()) {
            shown = "<U+" + hex(code_point, 4) + ">";
            width = shown.size();
        } else {
            shown = bytes.substr(i, length);
            width = static_cast<std::size_t>(terminal_width(code_point));
        }
        const std::size_t taken = std::max<std::size_t>(length, 1);
        for (std::size_t k = 0; k < taken; ++k) {
            places_.push_back({column, column + width, text_.size()});
        }
        text_ += shown;
        column += width;
        i += taken;
    }
    places_.push_back({column, column + 1, text_.size()});
}

const ShownLine::Place& ShownLine::place(std::size_t index) const {
    return places_[std::min(index, places_.size() - 1)];
}

std::size_t ShownLine::start_column(std::size_t index) const {
    return place(index).column;
}

std::size_t ShownLine::end_column(std::size_t index) const {
    return place(index).end_column;
}

std::size_t ShownLine::text_offset(std::size_t index) const {
    return place(index).text;
}

std::string gcc_escaped(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\' || c == '"') {
            out += '\\';
            out += c;
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\n') {
            out += "\\n";
        } else if (byte >= 0x20 && byte < 0x7F) {
            out += c;
        } else {
            out += '\\';
            out += static_cast<char>('0' + ((byte >> 6U) & 7U));
            out += static_cast<char>('0' + ((byte >> 3U) & 7U));
            out += static_cast<char>('0' + (byte & 7U));
        }
    }
    return out + "\"";
}

}  // namespace morvcfg
