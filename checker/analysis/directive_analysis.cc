// A directive line as the translator reads it: its text, the parser's run, and what each part of it is.
#include "checker/analysis/directive_analysis.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "checker/analysis/c_characters.h"
#include "checker/analysis/messages.h"
#include "checker/analysis/operand_text.h"
#include "checker/analysis/utf8.h"

namespace morvcfg {

bool DirectiveAnalysis::trailing_comment(std::string_view part) const {
    // The comment opens after the keyword, which C reads as code (a line wholly in a comment is
    // not the author's note on a directive).
    const auto begin = static_cast<std::size_t>(part.data() - text_.data());
    if (part.empty() || c_.role(begin) != CReading::Role::Comment || c_.role(0) != CReading::Role::Code) {
        return false;
    }
    for (std::size_t i = begin; i < text_.size(); ++i) {
        if (c_.role(i) != CReading::Role::Comment && !is_scan_space(text_[i])) {
            return false;
        }
    }
    return true;
}

Finding& DirectiveAnalysis::warn(std::string_view part, Category category, std::string message) {
    const auto begin = static_cast<std::uint64_t>(part.data() - text_.data());
    const auto [first, end] = layout_.file_range(text_start_ + begin, text_start_ + begin + part.size());
    return findings_.warn(first, end, category, std::move(message));
}

std::string DirectiveAnalysis::quote(std::string_view part) const {
    return quoted(original_.substr(static_cast<std::size_t>(part.data() - text_.data()), part.size()));
}

void DirectiveAnalysis::set_fix(Finding& finding, FixKind kind, std::span<const TextEdit> edits, std::string title) {
    std::vector<TextEdit> in_text(edits.begin(), edits.end());
    for (TextEdit& edit : in_text) {
        edit.begin += text_start_;
        edit.end += text_start_;
    }
    gate_.offer(finding, kind, in_text, std::move(title), {original_, text_start_, whole_line_});
}

void DirectiveAnalysis::delete_text(Finding& finding, std::size_t begin, std::size_t end, std::string title) {
    if (end > begin) {
        const TextEdit edit{begin, end, ""};
        set_fix(finding, FixKind::Certain, {&edit, 1}, std::move(title));
    }
}

void DirectiveAnalysis::analyse(const Directive& row, std::span<const char> piece, std::uint64_t start,
                                bool whole_line) {
    // The directive's text as its parser gets it: up to the first NUL, separators made blanks.
    std::string text(piece.data(), piece.size());
    text.resize(std::min(text.size(), text.find('\0')));
    normalise_separators(text);
    text_ = text;
    original_ = std::string_view(piece.data(), text.size());
    text_start_ = start;
    directive_offset_ = layout_.file_offset(start);
    // Text after a NUL is not read, so a fix could not know what it changes.
    whole_line_ = whole_line && text.size() == piece.size();
    const std::size_t line_length = text.size() - (text.ends_with('\n') ? 1 : 0);
    file_.directive_seen(directive_offset_, layout_.file_range(start, start + line_length).second, row);

    // The translator's own parser decides; the checker only compares before and after.
    NetConfig& config = file_.record();
    const NetConfig before = config;
    const std::size_t defines_before = defines_sink_.contents().size();
    row.parse(text_, config, defines_writer_);
    (void)defines_writer_.flush();
    const std::string_view define = std::string_view(defines_sink_.contents()).substr(defines_before);

    ScanResult operands = scan(text_, row.pattern);
    // A comment after the directive is the author's note: "%s" reads its first word as an operand,
    // which gives nothing, so the directive is analysed as if its line ended there.
    while (operands.count > 1 && trailing_comment(operands.fields[operands.stored() - 1].text)) {
        --operands.count;
    }
    const std::string_view word = operands.fields[0].text;
    const ScanField& last = operands.fields[operands.stored() - 1];
    const std::string_view unread = first_word(text_.substr(end_of(last.text)));
    const DirectiveSeen d{row,
                          before,
                          operands,
                          std::string(row.keyword),
                          text_.substr(end_of(word)),
                          text_.substr(operands.stop),
                          last.text.substr(last.text.size()),
                          trailing_comment(unread) ? unread.substr(0, 0) : unread,
                          define};
    if (word.size() > row.keyword.size()) {
        const std::string_view tail = word.substr(row.keyword.size());
        // Letters after the keyword say nothing; digits are a value the author wrote.
        const bool value = has_digit(tail);
        Finding& finding = warn(tail, Category::KeywordSuffix,
                                quote(word) + " is taken as " + std::string(row.keyword) + "; the rest of the word, " +
                                    quote(tail) + ", is ignored" + (value ? ", so " + outcome(d) : ""));
        if (value) {
            guess_call_form(finding, d, tail);
        } else {
            delete_text(finding, end_of(word) - tail.size(), end_of(word),
                        "Remove " + quote(tail) + " after " + std::string(row.keyword));
        }
    }
    switch (row.kind) {
        case DirectiveKind::Interface:
            analyse_interface(d);
            break;
        case DirectiveKind::Address:
            analyse_address(d);
            break;
        case DirectiveKind::Pool:
            analyse_pool(d);
            break;
        case DirectiveKind::Device:
            analyse_device(d);
            break;
    }
}

}  // namespace morvcfg
