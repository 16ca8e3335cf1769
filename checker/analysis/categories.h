#pragma once

// The kinds of warning the checker gives, each silenced with -Wno-<name>: one table, indexed by
// its enum, that --help, the option parser, every output format and the language server read.
#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace morvcfg {

enum class Category : unsigned char {
    Operand,
    DeviceDefine,
    DefineName,
    NotDirective,
    CommentedDirective,
    ConditionalDirective,
    SplitComment,
    ContinuedComment,
    IncludedDirective,
    KeywordSuffix,
    IgnoredText,
    Range,
    SubnetMask,
    SubnetMove,
    ImpossibleAddress,
    Override,
    PoolSize,
    DuplicateDefine,
    Encoding,
    LongLine,
    LoneCr,
    Nul,
    CtrlZ,
    UnusedIgnore,
};

struct WarningCategory {
    Category category;
    std::string_view name;
    std::string_view covers;
    // What its warnings' fixes do, and how sure they are; empty where no fix can be known.
    std::string_view fix;
};

// note [which warnings carry fixes]: a fix is known only where the line shows what it means: its
// layout (indent, case, stray letters or words, invisible characters, a comment before the keyword,
// characters a C name cannot hold), or a value written in a form the translator misreads ("/16",
// "0x4000 4400", "MORV_POP3CFG:10.1.2.110"), which only a guess writes out. A value (a range, a
// mask, an override, a pool, a duplicate, an impossible address, ignored text that holds a digit)
// or a byte the text mode handles (CR, NUL, Ctrl-Z, UTF-16) has no fix: nothing tells which value
// was intended; nor has any line in a comment, in a conditional block the build decides or in an
// included file: only the author knows whether it is meant. A line longer than one piece gets no
// fix either, since removing text from it would move where its later pieces start.
//
// Every category, in the order of the enum, which is the order --help lists them.
inline constexpr std::array<WarningCategory, 24> kWarningCategories = {{
    {Category::Operand, "operand", "an operand that was not read, or read only in part", ""},
    {Category::DeviceDefine, "device-define", "a MORV_DEV_ADR directive that writes no define", ""},
    {Category::DefineName, "define-name", "a MORV_DEV_ADR define whose name is not a C name",
     "guess: each character a C name may not hold becomes '_'"},
    {Category::NotDirective, "not-directive", "a line that looks like a directive but is ordinary text",
     "certain: remove the indent or an invisible character before the keyword, write the keyword in upper "
     "case; guess: a near keyword for an unknown word, the comment before a keyword moved behind the directive"},
    {Category::CommentedDirective, "commented-directive", "a directive inside a /* */ comment, applied anyway", ""},
    {Category::ConditionalDirective, "conditional-directive",
     "a directive inside #if/#ifdef/#else, applied whatever the condition", ""},
    {Category::SplitComment, "split-comment",
     "a directive line that opens or closes a comment, taking that end of it out", ""},
    {Category::ContinuedComment, "continued-comment",
     "a // comment that a backslash at its end continues onto a line with a directive", ""},
    {Category::IncludedDirective, "included-directive",
     "an #include of a file with directives, which morvcfg never reads", ""},
    {Category::KeywordSuffix, "keyword-suffix", "a keyword followed by more characters, still taken as that directive",
     "certain: remove the characters, where they hold no digit; guess: an operand glued to the keyword in "
     "parentheses"},
    {Category::IgnoredText, "ignored-text", "text after the operands that is ignored (a comment is not)",
     "certain: remove the text, where it holds no value; guess: a prefix length as the mask, hexadecimal "
     "digits written apart as one address, a second directive moved to a line of its own"},
    {Category::Range, "range", "address components above 255 or negative, and numbers that wrap", ""},
    {Category::SubnetMask, "subnet-mask", "a subnet mask whose ones are not contiguous", ""},
    {Category::SubnetMove, "subnet-move",
     "a gateway or name server the file gives that is moved into this host's subnet", ""},
    {Category::ImpossibleAddress, "impossible-address",
     "this host, gateway, name server or a server where no host can be", ""},
    {Category::Override, "override", "a directive that overrides an earlier one", ""},
    {Category::PoolSize, "pool-size", "a receive size that is negative or wraps", ""},
    {Category::DuplicateDefine, "duplicate-define", "two MORV_DEV_ADR directives with the same upper-cased name", ""},
    {Category::Encoding, "encoding",
     "a UTF-16 file, with a byte-order mark or without, in which morvcfg finds no directive", ""},
    {Category::LongLine, "long-line", "a line longer than 255 characters, read in pieces", ""},
    {Category::LoneCr, "lone-cr", "a carriage return without a line feed, which joins lines", ""},
    {Category::Nul, "nul", "a NUL byte", ""},
    {Category::CtrlZ, "ctrl-z", "text after a Ctrl-Z, which is never read", ""},
    {Category::UnusedIgnore, "unused-ignore",
     "a morvcfg-check: ignore comment that excuses nothing, or names no category", ""},
}};

// The row of each category is the one its enum indexes.
constexpr bool categories_in_order() {
    for (std::size_t i = 0; i < kWarningCategories.size(); ++i) {
        if (static_cast<std::size_t>(kWarningCategories[i].category) != i) {
            return false;
        }
    }
    return true;
}
static_assert(categories_in_order(), "kWarningCategories lists the categories in the order of their enum");

constexpr const WarningCategory& category_row(Category category) {
    return kWarningCategories[static_cast<std::size_t>(category)];
}

// The name -W options and every output form give a category.
constexpr std::string_view name_of(Category category) {
    return category_row(category).name;
}

// The category of a name; nothing for a name that is none.
constexpr std::optional<Category> category_named(std::string_view name) {
    const auto* const row = std::find_if(kWarningCategories.begin(), kWarningCategories.end(),
                                         [name](const WarningCategory& category) { return category.name == name; });
    return row != kWarningCategories.end() ? std::optional<Category>(row->category) : std::nullopt;
}

}  // namespace morvcfg
