#include "checker/analysis/directive_analysis.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "checker/analysis/c_characters.h"
#include "checker/analysis/messages.h"
#include "checker/analysis/utf8.h"

namespace morvcfg {
namespace {

bool has_digit(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A number and nothing else: decimal with an optional sign, or hexadecimal after 0x.
bool plain_number(std::string_view token) {
    if (token.starts_with("0x") || token.starts_with("0X")) {
        token.remove_prefix(2);
        return !token.empty() && token.find_first_not_of("0123456789abcdefABCDEF") == std::string_view::npos;
    }
    if (token.starts_with('+') || token.starts_with('-')) {
        token.remove_prefix(1);
    }
    return !token.empty() && token.find_first_not_of("0123456789") == std::string_view::npos;
}

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

// Where a comment starts or ends in the code after a directive's operands: the code stops there.
std::size_t comment_start(std::string_view text) {
    return std::min({text.find("/*"), text.find("//"), text.find("*/"), text.size()});
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
    directive_keyword_ = row.keyword;
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

void DirectiveAnalysis::analyse_interface(const DirectiveSeen& d) {
    const std::size_t this_is = field_index(&NetConfig::ThisIs);
    const std::size_t mask = field_index(&NetConfig::SubNetMask);
    if (d.operands.count < 2) {
        warn(d.after_word.substr(0, 0), Category::Operand,
             d.keyword + " has no address operand: ThisIs keeps " + dotted(d.before.ThisIs) + claim(this_is) +
                 " and SubNetMask keeps " + dotted(d.before.SubNetMask) + claim(mask));
        return;
    }
    check_address(d, d.operands.fields[1].text, this_is, d.before.ThisIs);
    if (d.operands.count == 3) {
        if (check_address(d, d.operands.fields[2].text, mask, d.before.SubNetMask)) {
            check_mask(d.operands.fields[2].text, file_.record().SubNetMask);
        }
        check_trailing(d, d.rest);
    }
}

void DirectiveAnalysis::analyse_address(const DirectiveSeen& d) {
    const std::size_t field = field_index(d.row.address);
    if (d.operands.count < 2) {
        warn(d.after_word.substr(0, 0), Category::Operand,
             d.keyword + " has no operand: " + std::string(kAddressFields[field].name) + " keeps " +
                 dotted(d.before.*d.row.address) + claim(field));
        return;
    }
    check_address(d, d.operands.fields[1].text, field, d.before.*d.row.address);
    check_trailing(d, d.rest);
}

void DirectiveAnalysis::analyse_pool(const DirectiveSeen& d) {
    const auto index = static_cast<std::size_t>(d.row.pool);
    const MemoryPool& old = d.before.pools[index];
    const MemoryPool& now = file_.record().pools[index];
    // What the firmware gets, in the names of morv_cfg.h.
    const std::string macro = "ETH0_" + std::string(kPoolClassNames[index]);
    const std::string pool_claim = FileAnalysis::claim_pool(index, directive_offset_);
    const std::string keeps_size = macro + "_BLOCK_SIZE keeps " + std::to_string(old.block_size) + pool_claim;
    const std::string keeps_count = macro + "_BLOCKS keeps " + std::to_string(old.blocks) + pool_claim;
    const std::string size_is = macro + "_BLOCK_SIZE is " + std::to_string(now.block_size) + pool_claim;
    // The operands as written: the words after the keyword.
    std::string_view size_word = first_word(d.after_word);
    if (trailing_comment(size_word)) {
        size_word = size_word.substr(0, 0);
    }
    if (d.operands.count < 2) {
        warn(size_word.empty() ? d.after_word.substr(0, 0) : size_word, Category::Operand,
             (size_word.empty() ? d.keyword + " has no operands"
                                : quote(size_word) + " is not a block size (a signed decimal number)") +
                 ": " + keeps_size + " and " + keeps_count);
        return;
    }
    const ScanField& size = d.operands.fields[1];
    const ScanField* count = d.operands.count >= 3 ? &d.operands.fields[2] : nullptr;
    check_range(size, Number::PoolValue, "block size");
    if (end_of(size.text) < end_of(size_word)) {
        // The size's word is read only in part ("0x100" gives 0), and the count is read from where
        // the size stopped, if at all.
        std::string message = "block size " + quote(size_word) + " is not a decimal number: only " + quote(size.text) +
                              " is read, so " + size_is;
        if (count == nullptr) {
            message += "; the count is not read, so " + keeps_count;
            if (const std::string_view ignored = code_after(size_word); !ignored.empty()) {
                message += ", and " + quote(ignored) + " is ignored";
            }
        } else if (count->text.data() < size_word.data() + size_word.size()) {
            message += ", and " + quote(count->text) + " is read as the block count";
        }
        warn(size_word, Category::Operand, std::move(message));
    } else if (count == nullptr) {
        const std::string_view count_word = d.unread;
        warn(count_word.empty() ? d.last_end : count_word, Category::Operand,
             (count_word.empty() ? d.keyword + " has no block count" : quote(count_word) + " is not a block count") +
                 ": " + size_is + ", and " + keeps_count);
    }
    if (count != nullptr) {
        check_range(*count, Number::PoolValue, "block count");
        const std::string_view count_word = first_word(text_.substr(end_of(count->text) - count->text.size()));
        if (end_of(count->text) < end_of(count_word)) {
            warn(count_word, Category::Operand,
                 "block count " + quote(count_word) + " is not a decimal number: only " + quote(count->text) +
                     " is read, so " + macro + "_BLOCKS is " + std::to_string(now.blocks) + pool_claim);
            check_trailing(d, text_.substr(end_of(count_word)));
        } else {
            check_trailing(d, d.rest);
        }
    }
    file_.pool_set(index, directive_offset_, directive_keyword_, old);
}

void DirectiveAnalysis::analyse_device(const DirectiveSeen& d) {
    if (d.define.empty()) {
        const std::string_view value = d.unread;
        std::string why;
        // "MORV_DEV_ADR(, 0x40029000)": the comma before the first operand says the name is missing,
        // and the address is taken for it.
        const bool name_missing =
            d.operands.count >= 2 &&
            original_.substr(end_of(d.after_word) - d.after_word.size(), d.after_word.size())
                    .substr(0, static_cast<std::size_t>(d.operands.fields[1].text.data() - d.after_word.data()))
                    .find(',') != std::string_view::npos;
        if (d.operands.count < 2) {
            why = d.keyword + " has no device name";
        } else if (name_missing) {
            why = d.keyword + " has no device name: the address " + quote(d.operands.fields[1].text) +
                  " is read as the name, and no address follows it";
        } else if (value.empty()) {
            why = d.keyword + " has no address after the device name";
        } else if (value.starts_with("0X")) {
            why = "the address " + quote(value) + " starts with a capital 0X; only a lower-case 0x is read";
        } else if (value.starts_with("0x")) {
            why = "no hexadecimal digits after the 0x of " + quote(value);
        } else {
            why = "the address " + quote(value) + " does not start with 0x";
        }
        warn(name_missing    ? d.after_word.substr(0, 0)
             : value.empty() ? d.last_end
                             : value,
             Category::DeviceDefine, why + ": no define is written");
        return;
    }
    // The define as the parser wrote it: "#define NAME_START_ADDRESS 0x........\r\n".
    const std::string_view line = d.define.substr(0, d.define.find('\r'));
    const std::string_view name = line.substr(8, line.find(' ', 8) - 8);
    const std::string_view written = line.substr(line.rfind(' ') + 1);
    file_.define_written(std::string(name), std::string(written), at(d.operands.fields[1].text));
    check_define_name(d.operands.fields[1].text, name);
    const ScanField& value = d.operands.fields[2];
    if (value.overflowed || value.magnitude > 0xFFFFFFFFU) {
        warn(value.text, Category::Range,
             "the address " + quote(value.text) + " does not fit 32 bits: it is written as " + std::string(written));
    }
    check_trailing(d, d.rest);
}

void DirectiveAnalysis::check_define_name(std::string_view token, std::string_view define) {
    // C names are letters, digits and '_', and do not start with a digit; the name's characters
    // stand at the start of the define, one for one with the token's.
    std::string why;
    std::string mended;
    const std::string_view original =
        original_.substr(static_cast<std::size_t>(token.data() - text_.data()), token.size());
    for (std::size_t i = 0; i < original.size();) {
        const std::size_t length = std::max<std::size_t>(utf8_length(original.substr(i)), 1);
        const bool fits = length == 1 && is_name_char(original[i]) && (i > 0 || std::isdigit(original[i]) == 0);
        if (!fits && why.empty()) {
            const auto byte = static_cast<unsigned char>(original[i]);
            if (i == 0 && std::isdigit(byte) != 0) {
                why = "a C name may not start with a digit, so the C preprocessor rejects the line";
            } else if (byte >= 0x20 && byte < 0x7F) {
                why = quoted(original.substr(i, length)) +
                      " may not stand in a C name, so the C preprocessor "
                      "rejects the line";
            } else {
                why = quoted(original.substr(i, length)) +
                      " is not in C's basic character set, which compilers "
                      "for small targets often reject in a name";
            }
        }
        mended += fits || (i == 0 && std::isdigit(original[i]) != 0) ? std::string(original.substr(i, length)) : "_";
        i += length;
    }
    if (why.empty()) {
        return;
    }
    Finding& finding = warn(token, Category::DefineName, "the define " + quoted(define) + " is not a C name: " + why);
    if (std::isdigit(original.front()) == 0) {
        const auto begin = static_cast<std::size_t>(token.data() - text_.data());
        const TextEdit edit{begin, begin + token.size(), mended};
        set_fix(finding, FixKind::Guess, {&edit, 1}, "name the device " + mended);
    }
}

bool DirectiveAnalysis::check_address(const DirectiveSeen& d, std::string_view token, std::size_t field,
                                      const Address& before) {
    const std::string name(kAddressFields[field].name);
    const Address& after = file_.record().*kAddressFields[field].field;
    const ScanResult quad = scan(token, kDottedQuad);
    const std::size_t stored = quad.stored();
    if (stored == 0) {
        warn(token, Category::Operand,
             quote(token) + " is not an address: " + name + " keeps " + dotted(before) + claim(field));
        return false;
    }
    std::string given;
    std::string note;
    if (stored < 4) {
        // Name the components that keep their values, and those values.
        std::string kept =
            stored == 3 ? "component 4 keeps "
                        : "components " + std::to_string(stored + 1) + (stored == 2 ? " and 4 keep " : " to 4 keep ");
        for (std::size_t i = stored; i < after.size(); ++i) {
            kept += (i == stored ? "" : i + 1 == after.size() ? " and " : ", ") + std::to_string(after[i]);
        }
        warn(token.substr(quad.stop, 0), Category::Operand,
             quote(token) + " gives only " + std::to_string(stored) + " of the 4 components of " + name + ": " + kept +
                 ", so " + name + " is " + dotted(after) + claim(field));
        given = shown(original_.substr(static_cast<std::size_t>(token.data() - text_.data()), token.size()));
        note = std::to_string(stored) + " of 4 components; " + kept + ", so " + name + " is " + dotted(after) +
               claim(field);
    } else if (quad.stop < token.size()) {
        // Text glued to the address is part of the value as the author wrote it ("/16", ".5", "x"):
        // no fix is certain of it.
        const std::string_view extra = token.substr(quad.stop);
        const bool prefix_length = d.row.kind == DirectiveKind::Interface && field == field_index(&NetConfig::ThisIs) &&
                                   extra.starts_with('/');
        const Address& mask = file_.record().SubNetMask;
        Finding& finding =
            warn(extra, Category::IgnoredText,
                 quote(extra) + " after the address is ignored: " +
                     (prefix_length ? std::string("the mask ") + (d.operands.count < 3 ? "stays " : "is ") +
                                          dotted(mask) + claim(field_index(&NetConfig::SubNetMask))
                                    : name + " is " + dotted(after) + claim(field)));
        if (prefix_length) {
            guess_prefix_length(finding, d, extra);
        }
    }
    for (std::size_t i = 0; i < stored; ++i) {
        check_range(quad.fields[i], Number::Component, "component " + std::to_string(i + 1) + " of " + name);
    }
    file_.address_set(field, directive_offset_, directive_keyword_, before, std::move(given), std::move(note));
    return true;
}

void DirectiveAnalysis::check_range(const ScanField& field, Number kind, std::string_view what) {
    const bool address = kind == Number::Component;
    const std::string stored =
        address ? std::to_string(field.bits) : std::to_string(static_cast<std::int32_t>(field.bits));
    std::string why;
    if (field.overflowed) {
        why = "is too large even for 64 bits and is read as " + stored;
    } else if (address && field.negative && field.magnitude != 0) {
        why = "is negative and is stored as " + stored;
    } else if (address && field.magnitude > 0xFFFFFFFFU) {
        why = "does not fit 32 bits and is stored as " + stored;
    } else if (address && field.bits > 255) {
        why = "is above 255: it is written as " + stored + ", which does not fit the unsigned char array";
    } else if (!address && field.magnitude > (field.negative ? 0x80000000U : 0x7FFFFFFFU)) {
        why = "does not fit a signed 32-bit number and is stored as " + stored;
    }
    if (!why.empty()) {
        warn(field.text, Category::Range, std::string(what) + " " + quote(field.text) + " " + why);
    }
}

void DirectiveAnalysis::check_mask(std::string_view token, const Address& mask) {
    std::uint32_t bits = 0;
    for (const std::uint32_t component : mask) {
        if (component > 255) {
            return;  // reported as out of range
        }
        bits = (bits << 8U) | component;
    }
    const std::uint32_t hosts = ~bits;
    if ((hosts & (hosts + 1)) != 0) {
        warn(token, Category::SubnetMask,
             "subnet mask " + dotted(mask) + " is not contiguous: its one bits do not all come before its zero bits");
    }
}

std::string_view DirectiveAnalysis::code_after(std::string_view part) const {
    std::string_view code = trim_left(text_.substr(end_of(part)));
    code = code.substr(0, comment_start(code));
    while (!code.empty() && is_scan_space(code.back())) {
        code.remove_suffix(1);
    }
    return code;
}

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

void DirectiveAnalysis::guess_prefix_length(Finding& finding, const DirectiveSeen& d, std::string_view extra) {
    // "/NN", NN from 0 to 32, and nothing else glued to the address.
    const std::string_view length = extra.substr(1);
    if (length.empty() || length.size() > 2 || !plain_number(length) || length.front() == '+' ||
        length.front() == '-') {
        return;
    }
    const int bits = std::stoi(std::string(length));
    if (bits > 32) {
        return;
    }
    Address mask{};
    for (std::size_t i = 0; i < mask.size(); ++i) {
        const int in_component = std::clamp(bits - static_cast<int>(8 * i), 0, 8);
        mask[i] = (0xFF00U >> static_cast<unsigned>(in_component)) & 0xFFU;
    }
    const auto begin = static_cast<std::size_t>(extra.data() - text_.data());
    if (d.operands.count < 3) {
        const TextEdit edit{begin, begin + extra.size(), ", " + dotted(mask)};
        set_fix(finding, FixKind::Guess, {&edit, 1}, "write the mask " + dotted(mask));
    } else if (file_.record().SubNetMask == mask) {
        const TextEdit edit{begin, begin + extra.size(), ""};
        set_fix(finding, FixKind::Guess, {&edit, 1}, "remove " + quote(extra) + ", which the mask says already");
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

std::string DirectiveAnalysis::outcome(const DirectiveSeen& d) const {
    const NetConfig& record = file_.record();
    // An operand that gives no component leaves the field as it was.
    const auto address = [&](Address NetConfig::*field, std::size_t operand) {
        const bool read =
            d.operands.stored() > operand && scan(d.operands.fields[operand].text, kDottedQuad).stored() > 0;
        return std::string(kAddressFields[field_index(field)].name) + (read ? " is " : " keeps ") +
               dotted(record.*field) + claim(field_index(field));
    };
    switch (d.row.kind) {
        case DirectiveKind::Interface:
            return address(&NetConfig::ThisIs, 1) + " and " + address(&NetConfig::SubNetMask, 2);
        case DirectiveKind::Address:
            return address(d.row.address, 1);
        case DirectiveKind::Pool: {
            const auto index = static_cast<std::size_t>(d.row.pool);
            const std::string macro = "ETH0_" + std::string(kPoolClassNames[index]);
            const std::string pool_claim = FileAnalysis::claim_pool(index, directive_offset_);
            return macro + "_BLOCK_SIZE" + (d.operands.stored() > 1 ? " is " : " keeps ") +
                   std::to_string(record.pools[index].block_size) + pool_claim + " and " + macro + "_BLOCKS" +
                   (d.operands.stored() > 2 ? " is " : " keeps ") + std::to_string(record.pools[index].blocks) +
                   pool_claim;
        }
        case DirectiveKind::Device:
            break;
    }
    if (d.define.empty()) {
        return "no define is written";
    }
    const std::string_view line = d.define.substr(0, d.define.find('\r'));
    return "the define " + std::string(line.substr(8, line.find(' ', 8) - 8)) + " is " +
           std::string(line.substr(line.rfind(' ') + 1));
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
