#pragma once

#include <array>
#include <string_view>

namespace morvcfg {

// What each directive is for, in a line, and its operands as an editor snippet (${1:name} marks
// a place to type).
struct DirectiveHelp {
    std::string_view keyword;
    std::string_view snippet;
    std::string_view summary;
};

// One row for each directive, in the order of the directive table.
extern const std::array<DirectiveHelp, 12> kDirectiveHelp;

// The row of a keyword; the first row for one that is no keyword.
const DirectiveHelp& help_for(std::string_view keyword);

}  // namespace morvcfg
