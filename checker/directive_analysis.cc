#include "checker/directive_analysis.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "checker/messages.h"
#include "checker/utf8.h"

namespace morvcfg {
namespace {

bool is_identifier(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
}

// The keyword nearest a word in upper case; of two as near, the one that shares more of the
// word's start (MORV_NTP is MORV_NTPCFG cut short more likely than MORV_DNS mistyped), then the
// one the table lists first.
const Directive& nearest_directive(const std::string& word) {
    const auto common_start = [&word](std::string_view keyword) {
        return std::mismatch(word.begin(), word.end(), keyword.begin(), keyword.end()).first - word.begin();
    };
    const Directive* nearest = &kDirectives.front();
    for (const Directive& row : kDirectives) {
        const std::size_t distance = edit_distance(word, row.keyword);
        const std::size_t best = edit_distance(word, nearest->keyword);
        if (distance < best || (distance == best && common_start(row.keyword) > common_start(nearest->keyword))) {
            nearest = &row;
        }
    }
    return *nearest;
}

bool is_blank(char c) {
    return c == ' ' || c == '\t';
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
    while (indent < text.size() && (text[indent] == ' ' || text[indent] == '\t')) {
        ++indent;
    }
    const std::string_view rest = text.substr(indent);
    std::size_t word_end = 0;
    while (word_end < rest.size() && is_identifier(rest[word_end])) {
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
    // The fix: the indent goes, and the word's first `length` characters become `keyword`.
    const auto fix = [&](FixKind kind, std::size_t length, std::string_view keyword) {
        const bool recased = word.substr(0, length) != keyword;
        std::string title = std::string(keyword);
        if (kind == FixKind::Certain) {
            title = indent == 0 ? "Write " + title + " in upper case"
                    : recased   ? "Remove the indent and write " + title + " in upper case"
                                : "Remove the indent";
        }
        Fix made{kind, {}, std::move(title)};
        if (indent > 0) {
            const auto [indent_begin, indent_end] = layout_.file_range(start, start + indent);
            made.replacements.push_back({indent_begin, indent_end, ""});
        }
        if (recased) {
            const auto [begin, end] = layout_.file_range(start + indent, start + indent + length);
            made.replacements.push_back({begin, end, std::string(keyword)});
        }
        const bool across_cr = std::any_of(
            made.replacements.begin(), made.replacements.end(),
            [&](const Replacement& r) { return layout_.carriage_return_within(layout_.file_offset(start), r.end); });
        return whole_line && !across_cr ? std::optional<Fix>(std::move(made)) : std::nullopt;
    };
    if (const Directive* row = match_directive(rest); row != nullptr) {
        file_.lookalike_seen(*row, word_begin);
        findings_
            .warn(word_begin, word_stop, "not-directive",
                  "directive " + std::string(row->keyword) +
                      " is indented, so the line is ordinary text and is copied unchanged; a directive must start "
                      "in the first column")
            .fix = fix(FixKind::Certain, row->keyword.size(), row->keyword);
        return;
    }
    const std::string upper = upper_case(rest);
    const std::string where = indent > 0 ? " (and indented)" : "";
    if (const Directive* row = match_directive(upper); row != nullptr) {
        file_.lookalike_seen(*row, word_begin);
        findings_
            .warn(word_begin, word_stop, "not-directive",
                  quoted(word) + " is not in upper case" + where +
                      ", so the line is ordinary text and is copied unchanged; did you mean " +
                      std::string(row->keyword) + "?")
            .fix = fix(FixKind::Certain, row->keyword.size(), row->keyword);
        return;
    }
    const Directive* nearest = &nearest_directive(upper_case(word));
    findings_
        .warn(word_begin, word_stop, "not-directive",
              "unknown directive " + quoted(word) + where +
                  ": the line is ordinary text and is copied unchanged; did you mean " + std::string(nearest->keyword) +
                  "?")
        .fix = fix(FixKind::Guess, word.size(), nearest->keyword);
}

void DirectiveAnalysis::check_keyword_after_text(std::string_view text, std::uint64_t start, bool whole_line) {
    // A keyword called as a directive ("MORV_LOCAL(" or "MORV_LOCAL (") where C reads code, after
    // other text: the author meant a directive, but morvcfg only sees one at the start of a line.
    std::size_t keyword = 1;
    const Directive* row = nullptr;
    for (; keyword < text.size(); ++keyword) {
        if (text[keyword] != kKeywordPrefix.front() || is_identifier(text[keyword - 1]) ||
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
    Finding& finding = findings_.warn(word_begin, word_stop, "not-directive",
                                      std::string(row->keyword) +
                                          " stands after other text on its line, so the line is ordinary text and "
                                          "is copied unchanged; a directive must start in the first column");
    // The guess: what stands before the keyword is a comment (and blanks), which can follow the
    // directive instead.
    const std::string_view before = text.substr(0, keyword);
    bool only_comments = !c_.starts_in_comment();
    for (std::size_t i = 0; i < before.size() && only_comments; ++i) {
        only_comments = before[i] == ' ' || before[i] == '\t' || c_.role(i) == CReading::Role::Comment;
    }
    const std::size_t line_length = text.size() - (text.ends_with('\n') ? 1 : 0);
    const auto [line_begin, line_end] = layout_.file_range(start, start + line_length);
    if (!whole_line || !only_comments || layout_.carriage_return_within(line_begin, line_end)) {
        return;
    }
    const std::string_view comment = before.substr(0, before.find_last_not_of(" \t") + 1);
    finding.fix = Fix{FixKind::Guess,
                      {{line_begin, word_begin, ""}, {line_end, line_end, " " + std::string(comment)}},
                      "move the comment behind the directive"};
}

Finding& DirectiveAnalysis::warn(std::string_view part, std::string_view category, std::string message) {
    const auto begin = static_cast<std::uint64_t>(part.data() - text_.data());
    const auto [first, end] = layout_.file_range(text_start_ + begin, text_start_ + begin + part.size());
    return findings_.warn(first, end, category, std::move(message));
}

std::string DirectiveAnalysis::quote(std::string_view part) const {
    return quoted(original_.substr(static_cast<std::size_t>(part.data() - text_.data()), part.size()));
}

void DirectiveAnalysis::set_fix(Finding& finding, FixKind kind, std::span<const TextEdit> edits,
                                std::string title) const {
    if (!whole_line_ || edits.empty()) {
        return;
    }
    Fix fix{kind, {}, std::move(title)};
    for (const TextEdit& edit : edits) {
        const auto [first, stop] = layout_.file_range(text_start_ + edit.begin, text_start_ + edit.end);
        // A CR before it in the directive joined the editor's lines; the text after it would be
        // changed on a line of its own.
        if (layout_.carriage_return_within(directive_offset_, stop)) {
            return;
        }
        fix.replacements.push_back({first, stop, edit.text});
    }
    finding.fix = std::move(fix);
}

void DirectiveAnalysis::delete_text(Finding& finding, std::size_t begin, std::size_t end, std::string title) const {
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
    file_.directive_seen(directive_offset_, layout_.file_range(start, start + line_length).second, row.keyword);

    // The translator's own parser decides; the checker only compares before and after.
    NetConfig& config = file_.record();
    const NetConfig before = config;
    const std::size_t defines_before = defines_sink_.contents().size();
    row.parse(text_, config, defines_writer_);
    (void)defines_writer_.flush();
    const std::string_view define = std::string_view(defines_sink_.contents()).substr(defines_before);

    const ScanResult operands = scan(text_, row.pattern);
    const std::string_view word = operands.fields[0].text;
    if (word.size() > row.keyword.size()) {
        const std::string_view tail = word.substr(row.keyword.size());
        Finding& finding = warn(tail, "keyword-suffix",
                                quote(word) + " is taken as " + std::string(row.keyword) + "; the rest of the word, " +
                                    quote(tail) + ", is ignored");
        delete_text(finding, end_of(word) - tail.size(), end_of(word),
                    "Remove " + quote(tail) + " after " + std::string(row.keyword));
    }
    const ScanField& last = operands.fields[operands.stored() - 1];
    const DirectiveSeen d{row,
                          before,
                          operands,
                          std::string(row.keyword),
                          text_.substr(end_of(word)),
                          text_.substr(operands.stop),
                          last.text.substr(last.text.size()),
                          first_word(text_.substr(end_of(last.text))),
                          define};
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
        warn(d.after_word.substr(0, 0), "operand",
             d.keyword + " has no address operand: ThisIs keeps " + dotted(d.before.ThisIs) + " and SubNetMask keeps " +
                 dotted(d.before.SubNetMask));
        return;
    }
    check_address(d.operands.fields[1].text, this_is, d.before.ThisIs);
    if (d.operands.count == 3) {
        if (check_address(d.operands.fields[2].text, mask, d.before.SubNetMask)) {
            check_mask(d.operands.fields[2].text, file_.record().SubNetMask);
        }
        check_trailing(d.rest, d.keyword + " takes an address and a mask");
    }
}

void DirectiveAnalysis::analyse_address(const DirectiveSeen& d) {
    const std::size_t field = field_index(d.row.address);
    if (d.operands.count < 2) {
        warn(d.after_word.substr(0, 0), "operand",
             d.keyword + " has no operand: " + std::string(kAddressFields[field].name) + " keeps " +
                 dotted(d.before.*d.row.address));
        return;
    }
    check_address(d.operands.fields[1].text, field, d.before.*d.row.address);
    check_trailing(d.rest, d.keyword + " takes one address");
}

void DirectiveAnalysis::analyse_pool(const DirectiveSeen& d) {
    const auto index = static_cast<std::size_t>(d.row.pool);
    const MemoryPool& old = d.before.pools[index];
    const std::string pool = "the " + std::string(kPoolClassNames[index]) + " pool";
    const std::string keeps_count = pool + " keeps count " + std::to_string(old.blocks);
    // The operands as written: the words after the keyword.
    const std::string_view size_word = first_word(d.after_word);
    if (d.operands.count < 2) {
        warn(size_word.empty() ? d.after_word.substr(0, 0) : size_word, "operand",
             (size_word.empty() ? d.keyword + " has no operands"
                                : quote(size_word) + " is not a block size (a signed decimal number)") +
                 ": " + pool + " keeps block size " + std::to_string(old.block_size) + " and count " +
                 std::to_string(old.blocks));
        return;
    }
    const ScanField& size = d.operands.fields[1];
    const ScanField* count = d.operands.count >= 3 ? &d.operands.fields[2] : nullptr;
    check_range(size, Number::PoolValue, "block size");
    if (end_of(size.text) < end_of(size_word)) {
        // The size's word is read only in part ("0x100" gives 0), and the count is read from where
        // the size stopped, if at all.
        std::string message = "block size " + quote(size_word) + " is not a decimal number: only " + quote(size.text) +
                              " is read, so the size becomes " + std::to_string(static_cast<std::int32_t>(size.bits));
        if (count == nullptr) {
            message += "; the count is not read, so " + keeps_count;
            if (const std::string_view ignored = code_after(size_word); !ignored.empty()) {
                message += ", and " + quote(ignored) + " is ignored";
            }
        } else if (count->text.data() < size_word.data() + size_word.size()) {
            message += ", and " + quote(count->text) + " is read as the block count";
        }
        warn(size_word, "operand", std::move(message));
    } else if (count == nullptr) {
        const std::string_view count_word = d.unread;
        warn(count_word.empty() ? d.last_end : count_word, "operand",
             (count_word.empty() ? d.keyword + " has no block count"
                                 : quote(count_word) + " is not a block count (a signed decimal number)") +
                 ": " + keeps_count);
    }
    if (count != nullptr) {
        check_range(*count, Number::PoolValue, "block count");
        const std::string_view count_word = first_word(text_.substr(end_of(count->text) - count->text.size()));
        if (end_of(count->text) < end_of(count_word)) {
            warn(count_word, "operand",
                 "block count " + quote(count_word) + " is not a decimal number: only " + quote(count->text) +
                     " is read, so the count becomes " + std::to_string(static_cast<std::int32_t>(count->bits)));
            check_trailing(text_.substr(end_of(count_word)), d.keyword + " takes a block size and a count");
        } else {
            check_trailing(d.rest, d.keyword + " takes a block size and a count");
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
             "device-define", why + ": no define is written");
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
        warn(value.text, "range",
             "the address " + quote(value.text) + " does not fit 32 bits: it is written as " + std::string(written));
    }
    check_trailing(d.rest, d.keyword + " takes a device name and an address");
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
        const bool fits = length == 1 && is_identifier(original[i]) && (i > 0 || std::isdigit(original[i]) == 0);
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
    Finding& finding = warn(token, "define-name", "the define " + quoted(define) + " is not a C name: " + why);
    if (std::isdigit(original.front()) == 0) {
        const auto begin = static_cast<std::size_t>(token.data() - text_.data());
        const TextEdit edit{begin, begin + token.size(), mended};
        set_fix(finding, FixKind::Guess, {&edit, 1}, "name the device " + mended);
    }
}

bool DirectiveAnalysis::check_address(std::string_view token, std::size_t field, const Address& before) {
    const std::string name(kAddressFields[field].name);
    const Address& after = file_.record().*kAddressFields[field].field;
    const ScanResult quad = scan(token, kDottedQuad);
    const std::size_t stored = quad.stored();
    if (stored == 0) {
        warn(token, "operand", quote(token) + " is not an address: " + name + " keeps " + dotted(before));
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
        warn(token.substr(quad.stop, 0), "operand",
             quote(token) + " gives only " + std::to_string(stored) + " of the 4 components of " + name + ": " + kept +
                 ", so " + name + " is " + dotted(after));
        given = shown(original_.substr(static_cast<std::size_t>(token.data() - text_.data()), token.size()));
        note = std::to_string(stored) + " of 4 components; " + kept + ", so " + name + " is " + dotted(after);
    } else if (quad.stop < token.size()) {
        const std::string_view extra = token.substr(quad.stop);
        Finding& finding =
            warn(extra, "ignored-text", quote(extra) + " after the address " + dotted(after) + " is ignored");
        delete_text(finding, end_of(extra) - extra.size(), end_of(extra), "Remove the ignored text");
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
        warn(field.text, "range", std::string(what) + " " + quote(field.text) + " " + why);
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
        warn(token, "subnet-mask",
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

void DirectiveAnalysis::check_trailing(std::string_view rest, std::string_view why) {
    // A comment after the operands is the author's note: no warning, and no fix ever deletes it.
    const std::string_view extra = code_after(rest.substr(0, 0));  // from where the scan stopped
    if (extra.empty()) {
        return;
    }
    const std::size_t keep = end_of(rest) - rest.size();  // where the operands end
    const std::size_t extra_begin = end_of(extra) - extra.size();
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
    Finding& finding =
        warn(extra, "ignored-text",
             quoted(original_.substr(extra_begin, quote_end - extra_begin)) + " is ignored: " + std::string(why));
    // The text goes with the separators before it, unless they close the directive: "(a, b)" keeps
    // "(a)" and "(a); b" keeps "(a);". Where that would leave a line no one would write ("(a) (b)"
    // leaving "(a))"), the whole rest of the directive goes, and only its closing ")" and ";" stay.
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

void DirectiveAnalysis::ignored_directives(std::size_t keep, std::size_t first, std::size_t code_end,
                                           std::string_view extra) {
    Finding& finding = warn(extra, "ignored-text",
                            "a second directive, " + quoted(original_.substr(first, code_end - first)) +
                                ", is ignored: morvcfg reads one directive a line, at the start of the line");
    // The guess: each directive on a line of its own, cut at the blanks before its keyword, where
    // what ends the one before is only its ")" and ";".
    const std::string line_end = layout_.crlf_line_ends() ? "\r\n" : "\n";
    std::vector<TextEdit> edits;
    for (std::size_t next = first; next < code_end; ++next) {
        if ((next != first && !is_blank(original_[next - 1])) || match_directive(original_.substr(next)) == nullptr) {
            continue;
        }
        std::size_t cut = next;
        while (cut > keep && is_blank(original_[cut - 1])) {
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
