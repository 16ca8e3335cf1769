#include "checker/analysis/messages.h"

#include <algorithm>
#include <vector>

#include "checker/analysis/categories.h"
#include "checker/analysis/source_display.h"
#include "checker/analysis/utf8.h"
#include "translator/directive_parsers.h"
#include "translator/scanner.h"

namespace morvcfg {

std::string shown(std::string_view text) {
    return ShownLine(text).text();
}

std::vector<std::string_view> invisible_names(std::string_view text) {
    std::vector<std::string_view> names;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = utf8_length(text.substr(i));
        if (length > 1) {
            const std::string_view name = invisible_name(utf8_code_point(text.substr(i), length));
            if (!name.empty() && std::find(names.begin(), names.end(), name) == names.end()) {
                names.push_back(name);
            }
        }
        i += std::max<std::size_t>(length, 1);
    }
    return names;
}

namespace {

// The names of the invisible characters in words ("a no-break space and a zero-width space").
std::string invisible_characters(std::string_view text) {
    const std::vector<std::string_view> names = invisible_names(text);
    std::string said;
    for (std::size_t i = 0; i < names.size(); ++i) {
        said.append(i == 0 ? "" : i + 1 == names.size() ? " and " : ", ").append(names[i]);
    }
    return said;
}

}  // namespace

std::string quoted(std::string_view text) {
    std::string out = "'" + shown(text) + "'";
    // An escaped character is named too: <U+00A0> alone does not tell a reader what it is.
    if (const std::string names = invisible_characters(text); !names.empty()) {
        bool only_invisible = true;
        for (std::size_t i = 0; i < text.size() && only_invisible;) {
            const std::size_t length = std::max<std::size_t>(utf8_length(text.substr(i)), 1);
            only_invisible = length > 1 && !invisible_name(utf8_code_point(text.substr(i), length)).empty();
            i += length;
        }
        out += (only_invisible ? " (" : " (with ") + names + ")";
    }
    return out;
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

std::string_view nearest_category(std::string_view name) {
    std::string_view nearest;
    std::size_t best = 0;
    for (const WarningCategory& category : kWarningCategories) {
        const std::size_t distance = edit_distance(name, category.name);
        if (nearest.empty() || distance < best) {
            nearest = category.name;
            best = distance;
        }
    }
    return best <= std::max<std::size_t>(2, name.size() / 3) ? nearest : std::string_view();
}

}  // namespace morvcfg
