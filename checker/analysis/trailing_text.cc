// Text after a directive's operands: ignored words, a second directive, the rest of a value.
#include <algorithm>
#include <cctype>
#include <vector>

#include "checker/analysis/c_characters.h"
#include "checker/analysis/directive_analysis.h"
#include "checker/analysis/messages.h"
#include "checker/analysis/operand_text.h"
#include "checker/analysis/utf8.h"

namespace morvcfg {
namespace {

// True for the code of a line a person would write for a directive: its parentheses balance and
// none closes before it opens, and it holds one ";" at most, after every ")".
bool well_formed(std::string_view code) {
    int depth = 0;
    bool ended = false;
    for (const char c : code) {
        if (c == '(' || c == ')') {
            depth += c == '(' ? 1 : -1;
            if (depth < 0 || ended) {
                return false;
            }
        } else if (c == ';') {
            if (ended) {
                return false;
            }
            ended = true;
        }
    }
    return depth == 0;
}

}  // namespace

std::string_view DirectiveAnalysis::code_after(std::string_view part) const {
    std::string_view code = trim_left(text_.substr(end_of(part)));
    code = code.substr(0, comment_start(code));
    while (!code.empty() && is_scan_space(code.back())) {
        code.remove_suffix(1);
    }
    return code;
}

void DirectiveAnalysis::check_trailing(const DirectiveSeen& d, std::string_view rest) {
    // A comment after the operands is the author's note: no warning, and no fix ever deletes it.
    const std::string_view extra = code_after(rest.substr(0, 0));  // from where the scan stopped
    if (extra.empty()) {
        return;
    }
    const std::size_t keep = end_of(rest) - rest.size();  // where the operands end
    const std::size_t extra_begin = end_of(extra) - extra.size();
    // The parser may read a comment's first word as an operand ("MORV_DNS // resolver"); what
    // follows is still the comment.
    for (std::size_t i = d.row.keyword.size(); i < keep && i < text_.size(); ++i) {
        if (c_.role(i) == CReading::Role::Comment && c_.role(i - 1) != CReading::Role::Comment) {
            return;
        }
    }
    // In the file, the code goes on to the separators that close it, up to any comment.
    std::size_t code_end = end_of(extra);
    for (std::size_t i = code_end; i < text_.size() && text_[i] != '\n' && comment_start(original_.substr(i, 2)) != 0;
         ++i) {
        code_end = is_scan_space(original_[i]) ? code_end : i + 1;
    }
    if (match_directive(original_.substr(extra_begin)) != nullptr) {
        ignored_directives(keep, extra_begin, code_end, extra);
        return;
    }
    // Quoted as written, with the ")" that close what it opens.
    const auto opened = [](std::string_view code) {
        return static_cast<int>(std::count(code.begin(), code.end(), '(')) -
               static_cast<int>(std::count(code.begin(), code.end(), ')'));
    };
    std::size_t quote_end = end_of(extra);
    for (int open = opened(original_.substr(extra_begin, quote_end - extra_begin));
         open > 0 && quote_end < code_end && original_[quote_end] == ')'; --open) {
        ++quote_end;
    }
    // Text glued to the value a device's address stops at is the rest of that value ("_4400"); text
    // that holds a digit is a value too. Either way the warning says what the firmware gets.
    const bool glued = d.row.kind == DirectiveKind::Device && extra_begin == keep;
    std::string why = d.keyword;
    switch (d.row.kind) {
        case DirectiveKind::Interface:
            why += " takes an address and a mask";
            break;
        case DirectiveKind::Address:
            why += " takes one address";
            break;
        case DirectiveKind::Pool:
            why += " takes a block size and a count";
            break;
        case DirectiveKind::Device:
            why += " takes a device name and an address";
            break;
    }
    const std::string quoted_extra = quoted(original_.substr(extra_begin, quote_end - extra_begin));
    Finding& finding =
        warn(extra, Category::IgnoredText,
             quoted_extra + " is ignored: " +
                 (glued                                                              ? outcome(d)
                  : has_digit(original_.substr(extra_begin, code_end - extra_begin)) ? why + ", so " + outcome(d)
                                                                                     : why));
    if (d.row.kind == DirectiveKind::Device) {
        guess_joined_address(finding, d, extra, code_end);
    }
    if (glued) {
        return;
    }
    // The text goes with the separators before it, unless they close the directive: "(a, b)" keeps
    // "(a)" and "(a); b" keeps "(a);". Where that would leave a line no one would write ("(a) (b)"
    // leaving "(a))"), the whole rest of the directive goes, and only its closing ")" and ";" stay.
    // Either is certain only without a digit in what goes.
    std::size_t begin = keep;
    const std::string_view before = original_.substr(keep, extra_begin - keep);
    if (const std::size_t closing = before.find_last_of(");"); closing != std::string_view::npos) {
        begin += closing + 1;
    }
    const std::string_view head = original_.substr(0, keep);
    const std::string tail = std::string(original_.substr(keep, begin - keep)) +
                             std::string(original_.substr(end_of(extra), code_end - end_of(extra)));
    if (tail.find_first_not_of(" \t);") == std::string::npos && well_formed(std::string(head) + tail)) {
        delete_text(finding, begin, end_of(extra), "Remove the ignored text");
        return;
    }
    std::string closing(static_cast<std::size_t>(std::max(opened(head), 0)), ')');
    if (original_.substr(keep, code_end - keep).find(';') != std::string_view::npos) {
        closing += ';';
    }
    if (well_formed(std::string(head) + closing)) {
        const TextEdit edit{keep, code_end, closing};
        set_fix(finding, FixKind::Certain, {&edit, 1}, "Remove the ignored rest of the directive");
    }
}

void DirectiveAnalysis::guess_joined_address(Finding& finding, const DirectiveSeen& d, std::string_view extra,
                                             std::size_t code_end) {
    // The digits the address was read from, then groups of hexadecimal digits apart from them by a
    // blank, '_' or '\'' (as C++ writes digit separators), up to the directive's closing ")" and
    // ";": one address, where it fits 32 bits.
    if (d.define.empty()) {
        return;
    }
    const ScanField& value = d.operands.fields[2];
    constexpr std::string_view kHexDigits = "0123456789abcdefABCDEF";
    if (value.text.empty() || value.text.find_first_not_of(kHexDigits) != std::string_view::npos) {
        return;
    }
    const std::size_t from = end_of(value.text);
    std::string digits(value.text);
    std::size_t next = from;
    const std::size_t extra_end = end_of(extra);
    while (next < extra_end) {
        const char c = original_[next];
        if (c == '_' || c == '\'' || is_space_or_tab(c)) {
            ++next;
        } else if (kHexDigits.find(c) != std::string_view::npos) {
            digits += c;
            ++next;
        } else {
            return;
        }
    }
    if (original_.substr(extra_end, code_end - extra_end).find_first_not_of(" \t);") != std::string_view::npos) {
        return;
    }
    const std::size_t significant = digits.size() - std::min(digits.find_first_not_of('0'), digits.size());
    if (digits.size() == value.text.size() || significant > 8) {
        return;
    }
    const std::string joined(digits.substr(value.text.size()));
    const TextEdit edit{from, extra_end, joined};
    set_fix(finding, FixKind::Guess, {&edit, 1}, "read the address as 0x" + digits);
}

void DirectiveAnalysis::guess_call_form(Finding& finding, const DirectiveSeen& d, std::string_view tail) {
    // ":" or "=" between the keyword and an operand of the directive's own kind, and no parentheses
    // on the line: "MORV_POP3CFG:10.1.2.110" means "MORV_POP3CFG(10.1.2.110);".
    const std::size_t separator = tail.find_first_not_of(":=");
    if (separator == 0 || separator == std::string_view::npos) {
        return;
    }
    const std::string_view operand = tail.substr(separator);
    const bool evident = d.row.kind == DirectiveKind::Pool
                             ? scan(operand, "%d").stop == operand.size()
                             : d.row.kind != DirectiveKind::Device && scan(operand, kDottedQuad).stored() == 4 &&
                                   scan(operand, kDottedQuad).stop == operand.size();
    const auto begin = static_cast<std::size_t>(tail.data() - text_.data());
    const std::string_view code = original_.substr(0, std::min(original_.find('\n'), original_.size()));
    const std::size_t code_length = std::min(comment_start(code), code.size());
    std::size_t end = code.find_last_not_of(" \t\r\v\f", code_length == 0 ? 0 : code_length - 1);
    end = end == std::string_view::npos ? 0 : end + 1;
    if (!evident || code.substr(0, end).find_first_of("()") != std::string_view::npos || end <= begin) {
        return;
    }
    const bool semicolon = code[end - 1] == ';';
    const TextEdit edits[] = {{begin, begin + separator, "("},
                              {semicolon ? end - 1 : end, semicolon ? end - 1 : end, semicolon ? ")" : ");"}};
    set_fix(finding, FixKind::Guess, edits, "write " + std::string(d.row.keyword) + "(" + std::string(operand) + ");");
}

void DirectiveAnalysis::ignored_directives(std::size_t keep, std::size_t first, std::size_t code_end,
                                           std::string_view extra) {
    Finding& finding = warn(extra, Category::IgnoredText,
                            "a second directive, " + quoted(original_.substr(first, code_end - first)) +
                                ", is ignored: morvcfg reads one directive a line, at the start of the line");
    // The guess: each directive on a line of its own, cut at the blanks before its keyword, where
    // what ends the one before is only its ")" and ";".
    const std::string line_end = layout_.crlf_line_ends() ? "\r\n" : "\n";
    std::vector<TextEdit> edits;
    for (std::size_t next = first; next < code_end; ++next) {
        if ((next != first && !is_space_or_tab(original_[next - 1])) ||
            match_directive(original_.substr(next)) == nullptr) {
            continue;
        }
        std::size_t cut = next;
        while (cut > keep && is_space_or_tab(original_[cut - 1])) {
            --cut;
        }
        const std::string_view closing =
            original_.substr(next == first ? keep : cut - 1, next == first ? cut - keep : 1);
        if (closing.find_first_not_of(");") == std::string_view::npos && (next == first || !closing.empty())) {
            edits.push_back({cut, next, line_end});
        } else if (next == first) {
            return;
        }
    }
    set_fix(finding, FixKind::Guess, edits, "put each directive on a line of its own");
}

}  // namespace morvcfg
