#pragma once

#include <array>
#include <span>
#include <string_view>

#include "generator/net_config.h"
#include "generator/text_writer.h"
#include "translator/directive_parsers.h"

namespace morvcfg {

// Every directive keyword starts with this.
inline constexpr std::string_view kKeywordPrefix = "MORV_";

// What a directive sets.
enum class DirectiveKind {
    Interface,  // ThisIs and SubNetMask
    Address,    // one address field
    Pool,       // one memory-pool class
    Device,     // a define in the pass-through output
};

// One row of the directive table.
struct Directive {
    std::string_view keyword;
    DirectiveParser parse;
    // The pattern the parser reads its operands with.
    std::string_view pattern;
    DirectiveKind kind;
    // For Address rows, the field the parser sets.
    Address NetConfig::*address = nullptr;
    // For Pool rows, the class the parser sets.
    PoolClass pool = PoolClass::VerySmall;
};

// The directive table, in the order rows are tried.
extern const std::array<Directive, 12> kDirectives;

// The first row whose keyword the text begins with, compared byte for byte over the keyword's own
// length (so "MORV_DNSSERVER" is MORV_DNS); null when the text is no directive.
const Directive* match_directive(std::string_view text);

// Turns every "(", ")", "," and ";" into a blank, so a call-like directive reads as blank-separated
// operands.
void normalise_separators(std::span<char> text);

// Handles one piece of the description file, which holds at most one line end, at its end (as
// PieceReader cuts them): a directive piece is normalised (up to its first
// NUL) and handed to its parser and is not copied; any other piece is copied to the pass-through
// output byte for byte, NULs and line end included.
void dispatch(std::span<char> piece, NetConfig& config, TextWriter& pass_through);

}  // namespace morvcfg
