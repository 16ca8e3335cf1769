#include "checker/findings.h"

#include <algorithm>

namespace morvcfg {

// note [which warnings carry fixes]: a fix is known only where the line shows what it means: its
// layout (indent, case, stray letters or words, invisible characters, a comment before the keyword,
// characters a C name cannot hold), or a value written in a form the translator misreads ("/16",
// "0x4000 4400", "MORV_POP3CFG:10.1.2.110"), which only a guess writes out. A value (a range, a
// mask, an override, a pool, a duplicate, an impossible address, ignored text that holds a digit)
// or a byte the text mode handles (CR, NUL, Ctrl-Z, UTF-16) has no fix: nothing tells which value
// was intended; nor has any line in a comment, in a conditional block the build decides or in an
// included file: only the author knows whether it is meant. A line longer than one piece gets no
// fix either, since removing text from it would move where its later pieces start.
const std::array<WarningCategory, 22> kWarningCategories = {{
    {"operand", "an operand that was not read, or read only in part", ""},
    {"device-define", "a MORV_DEV_ADR directive that writes no define", ""},
    {"define-name", "a MORV_DEV_ADR define whose name is not a C name",
     "guess: each character a C name may not hold becomes '_'"},
    {"not-directive", "a line that looks like a directive but is ordinary text",
     "certain: remove the indent or an invisible character before the keyword, write the keyword in upper "
     "case; guess: a near keyword for an unknown word, the comment before a keyword moved behind the directive"},
    {"commented-directive", "a directive inside a /* */ comment, applied anyway", ""},
    {"conditional-directive", "a directive inside #if/#ifdef/#else, applied whatever the condition", ""},
    {"split-comment", "a directive line that opens or closes a comment, taking that end of it out", ""},
    {"included-directive", "an #include of a file with directives, which morvcfg never reads", ""},
    {"keyword-suffix", "a keyword followed by more characters, still taken as that directive",
     "certain: remove the characters, where they hold no digit; guess: an operand glued to the keyword in "
     "parentheses"},
    {"ignored-text", "text after the operands that is ignored (a comment is not)",
     "certain: remove the text, where it holds no value; guess: a prefix length as the mask, hexadecimal "
     "digits written apart as one address, a second directive moved to a line of its own"},
    {"range", "address components above 255 or negative, and numbers that wrap", ""},
    {"subnet-mask", "a subnet mask whose ones are not contiguous", ""},
    {"subnet-move", "a gateway or name server the file gives that is moved into this host's subnet", ""},
    {"impossible-address", "this host, gateway, name server or a server where no host can be", ""},
    {"override", "a directive that overrides an earlier one", ""},
    {"pool-size", "a receive size that is negative or wraps", ""},
    {"duplicate-define", "two MORV_DEV_ADR directives with the same upper-cased name", ""},
    {"encoding", "a UTF-16 file, with a byte-order mark or without, in which morvcfg finds no directive", ""},
    {"long-line", "a line longer than 255 characters, read in pieces", ""},
    {"lone-cr", "a carriage return without a line feed, which joins lines", ""},
    {"nul", "a NUL byte", ""},
    {"ctrl-z", "text after a Ctrl-Z, which is never read", ""},
}};

std::pair<std::uint64_t, std::uint64_t> line_and_column(const CheckResult& result, std::uint64_t offset) {
    const auto feeds = result.line_feeds.begin();
    const auto after = std::lower_bound(feeds, result.line_feeds.end(), offset);
    const auto line = static_cast<std::uint64_t>(after - feeds) + 1;
    const std::uint64_t line_start = after == feeds ? std::min(result.byte_order_mark, offset) : *(after - 1) + 1;
    return {line, offset - line_start + 1};
}

Finding& FindingList::warn(std::uint64_t offset, std::string_view category, std::string message) {
    return warn(offset, offset, category, std::move(message));
}

Finding& FindingList::warn(std::uint64_t begin, std::uint64_t end, std::string_view category, std::string message) {
    findings_.push_back(Finding{begin, end, category, std::move(message), {}, {}});
    return findings_.back();
}

void FindingList::forget(std::string_view category) {
    std::erase_if(findings_, [category](const Finding& finding) { return finding.category == category; });
}

std::vector<Finding> FindingList::take() {
    std::stable_sort(findings_.begin(), findings_.end(),
                     [](const Finding& a, const Finding& b) { return a.offset < b.offset; });
    return std::move(findings_);
}

}  // namespace morvcfg
