#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace morvcfg {

// One line of a description file as a terminal shows it under a diagnostic: tabs expanded to
// stops of 8, a CR at its end left out, and control characters, characters that show as nothing
// or as an ordinary blank (<U+00A0>, <U+200B>, <U+FEFF>) and bytes that are not UTF-8 escaped
// (<U+0001>, <80>), so that what is shown is what the line holds and each caret stands
// under its character, wide characters included.
class ShownLine {
public:
    explicit ShownLine(std::string_view bytes);

    // The line as shown.
    [[nodiscard]] const std::string& text() const { return text_; }
    // The columns, from 0, where the character holding byte `index` starts and ends; an index at
    // or past the end of the line is the column after it.
    [[nodiscard]] std::size_t start_column(std::size_t index) const;
    [[nodiscard]] std::size_t end_column(std::size_t index) const;
    // Where the character holding byte `index` starts in text(); its size there.
    [[nodiscard]] std::size_t text_offset(std::size_t index) const;

private:
    struct Place {
        std::size_t column = 0;
        std::size_t end_column = 0;
        std::size_t text = 0;
    };
    [[nodiscard]] const Place& place(std::size_t index) const;

    std::string text_;
    std::vector<Place> places_;  // one per byte, and one past the end
};

// GCC's escaping of a string in its parseable fix-it lines: quotes and backslashes escaped, tab and
// line feed as \t and \n, bytes outside printable ASCII as three octal digits.
std::string gcc_escaped(std::string_view text);

}  // namespace morvcfg
