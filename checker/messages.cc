#include "checker/messages.h"

#include <algorithm>
#include <vector>

#include "checker/source_display.h"
#include "translator/directive_parsers.h"
#include "translator/scanner.h"

namespace morvcfg {

std::string shown(std::string_view text) {
    return ShownLine(text).text();
}

std::string quoted(std::string_view text) {
    return "'" + shown(text) + "'";
}

std::string dotted(const Address& address) {
    std::string out;
    for (const std::uint32_t component : address) {
        if (!out.empty()) {
            out += '.';
        }
        out += std::to_string(component);
    }
    return out;
}

std::string_view trim_left(std::string_view text) {
    while (!text.empty() && is_scan_space(text.front())) {
        text.remove_prefix(1);
    }
    return text;
}

std::string_view first_word(std::string_view text) {
    text = trim_left(text);
    std::size_t end = 0;
    while (end < text.size() && !is_scan_space(text[end])) {
        ++end;
    }
    return text.substr(0, end);
}

std::string upper_case(std::string_view text) {
    std::string out(text.size(), '\0');
    std::transform(text.begin(), text.end(), out.begin(), upper_ascii);
    return out;
}

std::size_t edit_distance(std::string_view a, std::string_view b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) {
        row[j] = j;
    }
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// cppcheck-suppress constParameter ; a pointer to member, not to an object
std::size_t field_index(Address NetConfig::*field) {
    for (std::size_t i = 0; i < kAddressFields.size(); ++i) {
        if (kAddressFields[i].field == field) {
            return i;
        }
    }
    return 0;
}

}  // namespace morvcfg
