// Ordinary lines that look like directives: indented, not in upper case, an unknown MORV_ word, a
// keyword after invisible characters or after other text.
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

// Whether `operands`, the text after a word, could be the operands of the directive `row`: no
// operand at all, or a first one of the kind it reads (one small number is no address).
bool operands_could_be(const Directive& row, std::string_view operands) {
    std::string normalised(operands.substr(0, std::min(operands.find('\0'), operands.size())));
    normalise_separators(normalised);
    const std::string_view first = first_word(normalised);
    if (first.empty()) {
        return true;
    }
    if (row.kind == DirectiveKind::Pool) {
        const std::string_view digits = first.starts_with('+') || first.starts_with('-') ? first.substr(1) : first;
        return !digits.empty() && digits.front() >= '0' && digits.front() <= '9';
    }
    return !plain_number(first);
}

// The keyword an unknown MORV_ word means, as compilers judge a typo: one whose name after MORV_
// is at most about a third of the word's away (edits, as clang counts them), or the one keyword
// it cuts short; of two as near, the one that shares more of the word's start (MORV_NTP is
// MORV_NTPCFG cut short more likely than MORV_DNS mistyped), then the one the table lists first.
// Only a keyword whose operands the line's could be; null when none is that close.
const Directive* meant_directive(std::string_view word, std::string_view operands) {
    const std::string_view name = word.substr(kKeywordPrefix.size());
    const auto tail_of = [](const Directive& row) { return row.keyword.substr(kKeywordPrefix.size()); };
    const auto common_start = [name](std::string_view keyword) {
        return std::mismatch(name.begin(), name.end(), keyword.begin(), keyword.end()).first - name.begin();
    };
    const Directive* cut_short = nullptr;
    std::size_t cut_short_count = 0;
    for (const Directive& row : kDirectives) {
        if (name.size() >= 3 && tail_of(row).starts_with(name)) {
            cut_short = &row;
            ++cut_short_count;
        }
    }
    const Directive* meant = cut_short_count == 1 ? cut_short : nullptr;
    std::size_t best = meant != nullptr ? edit_distance(name, tail_of(*meant)) : 0;
    for (const Directive& row : kDirectives) {
        const std::size_t distance = edit_distance(name, tail_of(row));
        if (distance > (name.size() + 2) / 3 && &row != meant) {
            continue;
        }
        if (meant == nullptr || distance < best ||
            (distance == best && common_start(tail_of(row)) > common_start(tail_of(*meant)))) {
            meant = &row;
            best = distance;
        }
    }
    return meant != nullptr && operands_could_be(*meant, operands) ? meant : nullptr;
}

// The length of the blanks and characters that show as nothing (a byte-order mark, a no-break
// space) at the start of a line; `invisible` tells whether any of the latter is among them.
std::size_t invisible_lead(std::string_view text, bool& invisible) {
    invisible = false;
    std::size_t i = 0;
    while (i < text.size()) {
        if (is_space_or_tab(text[i])) {
            ++i;
            continue;
        }
        const std::size_t length = utf8_length(text.substr(i));
        if (length < 2 || invisible_name(utf8_code_point(text.substr(i), length)).empty()) {
            break;
        }
        invisible = true;
        i += length;
    }
    return i;
}

}  // namespace

void DirectiveAnalysis::check_lookalike(std::string_view piece, std::uint64_t start, bool whole_line) {
    // A line C does not read (in a block the preprocessor skips) was switched off by its author,
    // and morvcfg, which copies it, agrees; so does a preprocessor line.
    if (c_.skipped() || c_.preprocessor_line()) {
        return;
    }
    const std::string_view text = piece.substr(0, piece.find('\0'));
    std::size_t indent = 0;
    while (indent < text.size() && is_space_or_tab(text[indent])) {
        ++indent;
    }
    const std::string_view rest = text.substr(indent);
    std::size_t word_end = 0;
    while (word_end < rest.size() && is_name_char(rest[word_end])) {
        ++word_end;
    }
    const std::string_view word = rest.substr(0, word_end);
    if (word.size() < kKeywordPrefix.size() || upper_case(word.substr(0, kKeywordPrefix.size())) != kKeywordPrefix) {
        check_keyword_after_text(text, start, whole_line && text.size() == piece.size());
        return;
    }
    if (c_.role(indent) != CReading::Role::Code) {
        return;  // a word in a comment the author wrote around it
    }
    const auto [word_begin, word_stop] = layout_.file_range(start + indent, start + indent + word_end);
    const Lookalike seen{{text, start, whole_line}, indent, word};
    const auto fix = [&](Finding& finding, FixKind kind, std::size_t length, std::string_view keyword) {
        offer_lookalike_fix(finding, seen, kind, length, keyword);
    };
    if (const Directive* row = match_directive(rest); row != nullptr) {
        file_.lookalike_seen(*row, word_begin);
        Finding& finding = findings_.warn(word_begin, word_stop, Category::NotDirective,
                                          "directive " + std::string(row->keyword) +
                                              " is indented, so the line is ordinary text and is copied unchanged; a "
                                              "directive must start in the first column");
        fix(finding, FixKind::Certain, row->keyword.size(), row->keyword);
        return;
    }
    const std::string upper = upper_case(rest);
    const std::string where = indent > 0 ? " (and indented)" : "";
    if (const Directive* row = match_directive(upper); row != nullptr) {
        file_.lookalike_seen(*row, word_begin);
        Finding& finding = findings_.warn(word_begin, word_stop, Category::NotDirective,
                                          quoted(word) + " is not in upper case" + where +
                                              ", so the line is ordinary text and is copied unchanged; did you mean " +
                                              std::string(row->keyword) + "?");
        fix(finding, FixKind::Certain, row->keyword.size(), row->keyword);
        return;
    }
    // Other tools' MORV_ macros are no typos: a keyword is named, and guessed, only when the word
    // is close to it and the operands could be its.
    const Directive* meant = meant_directive(upper_case(word), rest.substr(word.size()));
    Finding& finding = findings_.warn(
        word_begin, word_stop, Category::NotDirective,
        "unknown directive " + quoted(word) + where + ": the line is ordinary text and is copied unchanged" +
            (meant != nullptr ? "; did you mean " + std::string(meant->keyword) + "?" : ""));
    if (meant != nullptr) {
        fix(finding, FixKind::Guess, word.size(), meant->keyword);
    }
}

void DirectiveAnalysis::offer_lookalike_fix(Finding& finding, const Lookalike& line, FixKind kind, std::size_t length,
                                            std::string_view keyword) {
    const bool recased = line.word.substr(0, length) != keyword;
    std::string title = std::string(keyword);
    if (kind == FixKind::Certain) {
        title = line.indent == 0 ? "Write " + title + " in upper case"
                : recased        ? "Remove the indent and write " + title + " in upper case"
                                 : "Remove the indent";
    }
    const std::uint64_t start = line.piece.start;
    std::vector<TextEdit> edits;
    if (line.indent > 0) {
        edits.push_back({start, start + line.indent, ""});
    }
    if (recased) {
        edits.push_back({start + line.indent, start + line.indent + length, std::string(keyword)});
    }
    gate_.offer(finding, kind, edits, std::move(title), line.piece);
}

bool DirectiveAnalysis::check_invisible_lead(std::string_view text, std::size_t lead, std::uint64_t start,
                                             bool whole_line) {
    const Directive* row = match_directive(text.substr(lead));
    if (row == nullptr || c_.role(lead) != CReading::Role::Code) {
        return false;
    }
    const auto [word_begin, word_stop] = layout_.file_range(start + lead, start + lead + row->keyword.size());
    file_.lookalike_seen(*row, word_begin);
    // What stands before it, each kind once: "blanks, a no-break space and a zero-width space"; and
    // the same as the fix names it: "the indent, the no-break space and the zero-width space".
    const std::string_view before = text.substr(0, lead);
    std::vector<std::string> said;
    std::vector<std::string> removed;
    if (before.find_first_of(" \t") != std::string_view::npos) {
        said.emplace_back("blanks");
        removed.emplace_back("the indent");
    }
    for (const std::string_view name : invisible_names(before)) {
        said.emplace_back(name);
        const std::string_view bare = name.substr(name.find(' ') + 1);
        removed.push_back("the " + std::string(bare.substr(0, bare.find(" in the middle of the file"))));
    }
    const auto listed = [](const std::vector<std::string>& items) {
        std::string text;
        for (std::size_t i = 0; i < items.size(); ++i) {
            text.append(i == 0 ? "" : i + 1 == items.size() ? " and " : ", ").append(items[i]);
        }
        return text;
    };
    Finding& finding =
        findings_.warn(word_begin, word_stop, Category::NotDirective,
                       std::string(row->keyword) + " stands after " + listed(said) + " (" + shown(before) +
                           "), so the line is ordinary text and is copied unchanged; a directive "
                           "must start in the first column");
    const TextEdit edit{start, start + lead, ""};
    gate_.offer(finding, FixKind::Certain, {&edit, 1}, "Remove " + listed(removed), {text, start, whole_line});
    return true;
}

void DirectiveAnalysis::check_keyword_after_text(std::string_view text, std::uint64_t start, bool whole_line) {
    // Only blanks and characters that show as nothing before a keyword (a byte-order mark in the
    // middle of a file that joins two, a no-break space pasted from a web page): the line reads as
    // a directive, and is none.
    bool invisible = false;
    if (const std::size_t lead = invisible_lead(text, invisible);
        invisible && check_invisible_lead(text, lead, start, whole_line)) {
        return;
    }
    // A keyword called as a directive ("MORV_LOCAL(" or "MORV_LOCAL (") where C reads code, after
    // other text: the author meant a directive, but morvcfg only sees one at the start of a line.
    std::size_t keyword = 1;
    const Directive* row = nullptr;
    for (; keyword < text.size(); ++keyword) {
        if (text[keyword] != kKeywordPrefix.front() || is_name_char(text[keyword - 1]) ||
            c_.role(keyword) != CReading::Role::Code) {
            continue;
        }
        row = match_directive(text.substr(keyword));
        if (row == nullptr) {
            continue;
        }
        const std::string_view after = text.substr(keyword + row->keyword.size());
        if (const std::size_t call = after.find_first_not_of(" \t");
            call != std::string_view::npos && after[call] == '(') {
            break;
        }
        row = nullptr;
    }
    if (row == nullptr) {
        return;
    }
    const auto [word_begin, word_stop] = layout_.file_range(start + keyword, start + keyword + row->keyword.size());
    file_.lookalike_seen(*row, word_begin);
    Finding& finding = findings_.warn(word_begin, word_stop, Category::NotDirective,
                                      std::string(row->keyword) +
                                          " stands after other text on its line, so the line is ordinary text and "
                                          "is copied unchanged; a directive must start in the first column");
    // The guess: what stands before the keyword is a comment (and blanks), which can follow the
    // directive instead.
    const std::string_view before = text.substr(0, keyword);
    bool only_comments = !c_.starts_in_comment();
    for (std::size_t i = 0; i < before.size() && only_comments; ++i) {
        only_comments = is_space_or_tab(before[i]) || c_.role(i) == CReading::Role::Comment;
    }
    if (!only_comments) {
        return;
    }
    const std::uint64_t line_end = start + text.size() - (text.ends_with('\n') ? 1 : 0);
    const std::string_view comment = before.substr(0, before.find_last_not_of(" \t") + 1);
    const TextEdit edits[] = {{start, start + keyword, ""}, {line_end, line_end, " " + std::string(comment)}};
    gate_.offer(finding, FixKind::Guess, edits, "move the comment behind the directive", {text, start, whole_line});
}

}  // namespace morvcfg
