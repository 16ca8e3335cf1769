#pragma once

// What each directive is for, for an editor's hover and completion, keyed by the directive table.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "translator/directive_table.h"

namespace morvcfg {

struct DirectiveHelp {
    std::string_view summary;
    // For a pool directive, the block size and count its snippet suggests: the record's own, 0 and
    // 0, would make a pool of nothing.
    std::int32_t block_size = 0;
    std::int32_t blocks = 0;
};

// One row for each row of the directive table, in its order.
extern const std::array<DirectiveHelp, kDirectives.size()> kDirectiveHelp;

// The help of a row of the directive table.
const DirectiveHelp& help_for(const Directive& row);

// The directive as an editor snippet (${1:value} marks a place to type): its keyword and operands,
// each address the record's default, so that completing it changes nothing until edited.
std::string snippet_for(const Directive& row);

}  // namespace morvcfg
