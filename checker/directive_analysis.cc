#include "checker/directive_analysis.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "checker/messages.h"

namespace morvcfg {
namespace {

std::size_t edit_distance(std::string_view a, std::string_view b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) {
        row[j] = j;
    }
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

}  // namespace

void DirectiveAnalysis::check_lookalike(std::string_view text, std::uint64_t start, bool whole_line) {
    std::size_t indent = 0;
    while (indent < text.size() && (text[indent] == ' ' || text[indent] == '\t')) {
        ++indent;
    }
    const std::string_view rest = text.substr(indent);
    std::size_t word_end = 0;
    while (word_end < rest.size() &&
           (std::isalnum(static_cast<unsigned char>(rest[word_end])) != 0 || rest[word_end] == '_')) {
        ++word_end;
    }
    const std::string_view word = rest.substr(0, word_end);
    if (word.size() < kKeywordPrefix.size() || upper_case(word.substr(0, kKeywordPrefix.size())) != kKeywordPrefix) {
        return;
    }
    const auto [word_begin, word_stop] = layout_.file_range(start + indent, start + indent + word_end);
    // The fix: the indent goes, and the word's first `length` characters become `keyword`.
    const auto fix = [&](FixKind kind, std::size_t length, std::string_view keyword) {
        Fix made{kind, {}};
        if (indent > 0) {
            const auto [indent_begin, indent_end] = layout_.file_range(start, start + indent);
            made.replacements.push_back({indent_begin, indent_end, ""});
        }
        if (word.substr(0, length) != keyword) {
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
    // The nearest keyword; of two as near, the one that shares more of the word's start (MORV_NTP
    // is MORV_NTPCFG cut short more likely than MORV_DNS mistyped), then the one the table lists first.
    const std::string upper_word = upper_case(word);
    const auto common_start = [&upper_word](std::string_view keyword) {
        return std::mismatch(upper_word.begin(), upper_word.end(), keyword.begin(), keyword.end()).first -
               upper_word.begin();
    };
    const Directive* nearest = &kDirectives.front();
    for (const Directive& row : kDirectives) {
        const std::size_t distance = edit_distance(upper_word, row.keyword);
        const std::size_t best = edit_distance(upper_word, nearest->keyword);
        if (distance < best || (distance == best && common_start(row.keyword) > common_start(nearest->keyword))) {
            nearest = &row;
        }
    }
    findings_
        .warn(word_begin, word_stop, "not-directive",
              "unknown directive " + quoted(word) + where +
                  ": the line is ordinary text and is copied unchanged; did you mean " + std::string(nearest->keyword) +
                  "?")
        .fix = fix(FixKind::Guess, word.size(), nearest->keyword);
}

Finding& DirectiveAnalysis::warn(std::string_view part, std::string_view category, std::string message) {
    const auto begin = static_cast<std::uint64_t>(part.data() - text_.data());
    const auto [first, end] = layout_.file_range(text_start_ + begin, text_start_ + begin + part.size());
    return findings_.warn(first, end, category, std::move(message));
}

void DirectiveAnalysis::delete_text(Finding& finding, std::size_t begin, std::size_t end) const {
    if (whole_line_ && end > begin) {
        const auto [first, stop] = layout_.file_range(text_start_ + begin, text_start_ + end);
        // A CR before it in the directive joined the editor's lines; the text after it would be
        // deleted from a line of its own.
        if (!layout_.carriage_return_within(directive_offset_, stop)) {
            finding.fix = Fix{FixKind::Certain, {{first, stop, ""}}};
        }
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
    whole_line_ = whole_line;
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
                                quoted(word) + " is taken as " + std::string(row.keyword) + "; the rest of the word, " +
                                    quoted(tail) + ", is ignored");
        delete_text(finding, end_of(word) - tail.size(), end_of(word));
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
    const std::string_view missing = d.unread;
    if (d.operands.count < 2) {
        warn(missing.empty() ? d.after_word.substr(0, 0) : missing, "operand",
             (missing.empty() ? d.keyword + " has no operands"
                              : quoted(missing) + " is not a block size (a signed decimal number)") +
                 ": " + pool + " keeps block size " + std::to_string(old.block_size) + " and count " +
                 std::to_string(old.blocks));
        return;
    }
    check_range(d.operands.fields[1], Number::PoolValue, "block size");
    if (d.operands.count < 3) {
        warn(missing.empty() ? d.last_end : missing, "operand",
             (missing.empty() ? d.keyword + " has no block count"
                              : quoted(missing) + " is not a block count (a signed decimal number)") +
                 ": " + pool + " keeps count " + std::to_string(old.blocks));
    } else {
        check_range(d.operands.fields[2], Number::PoolValue, "block count");
        check_trailing(d.rest, d.keyword + " takes a block size and a count");
    }
    file_.pool_set(index, directive_offset_, directive_keyword_, old);
}

void DirectiveAnalysis::analyse_device(const DirectiveSeen& d) {
    if (d.define.empty()) {
        const std::string_view value = d.unread;
        std::string why;
        if (d.operands.count < 2) {
            why = d.keyword + " has no device name";
        } else if (value.empty()) {
            why = d.keyword + " has no address after the device name";
        } else if (value.starts_with("0X")) {
            why = "the address " + quoted(value) + " starts with a capital 0X; only a lower-case 0x is read";
        } else if (value.starts_with("0x")) {
            why = "no hexadecimal digits after the 0x of " + quoted(value);
        } else {
            why = "the address " + quoted(value) + " does not start with 0x";
        }
        warn(value.empty() ? d.last_end : value, "device-define", why + ": no define is written");
        return;
    }
    // The define as the parser wrote it: "#define NAME_START_ADDRESS 0x........\r\n".
    const std::string_view line = d.define.substr(0, d.define.find('\r'));
    const std::string_view name = line.substr(8, line.find(' ', 8) - 8);
    const std::string_view written = line.substr(line.rfind(' ') + 1);
    file_.define_written(std::string(name), std::string(written), at(d.operands.fields[1].text));
    const ScanField& value = d.operands.fields[2];
    if (value.overflowed || value.magnitude > 0xFFFFFFFFU) {
        warn(value.text, "range",
             "the address " + quoted(value.text) + " does not fit 32 bits: it is written as " + std::string(written));
    }
    check_trailing(d.rest, d.keyword + " takes a device name and an address");
}

bool DirectiveAnalysis::check_address(std::string_view token, std::size_t field, const Address& before) {
    const std::string name(kAddressFields[field].name);
    const Address& after = file_.record().*kAddressFields[field].field;
    const ScanResult quad = scan(token, kDottedQuad);
    const std::size_t stored = quad.stored();
    if (stored == 0) {
        warn(token, "operand", quoted(token) + " is not an address: " + name + " keeps " + dotted(before));
        return false;
    }
    if (stored < 4) {
        // Name the components that keep their values, and those values.
        std::string kept =
            stored == 3 ? "component 4 keeps "
                        : "components " + std::to_string(stored + 1) + (stored == 2 ? " and 4 keep " : " to 4 keep ");
        for (std::size_t i = stored; i < after.size(); ++i) {
            kept += (i == stored ? "" : i + 1 == after.size() ? " and " : ", ") + std::to_string(after[i]);
        }
        warn(token.substr(quad.stop, 0), "operand",
             quoted(token) + " gives only " + std::to_string(stored) + " of the 4 components of " + name + ": " + kept +
                 ", so " + name + " is " + dotted(after));
    } else if (quad.stop < token.size()) {
        const std::string_view extra = token.substr(quad.stop);
        Finding& finding =
            warn(extra, "ignored-text", quoted(extra) + " after the address " + dotted(after) + " is ignored");
        delete_text(finding, end_of(extra) - extra.size(), end_of(extra));
    }
    for (std::size_t i = 0; i < stored; ++i) {
        check_range(quad.fields[i], Number::Component, "component " + std::to_string(i + 1) + " of " + name);
    }
    file_.address_set(field, directive_offset_, directive_keyword_, before);
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
        warn(field.text, "range", std::string(what) + " " + quoted(field.text) + " " + why);
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

void DirectiveAnalysis::check_trailing(std::string_view rest, std::string_view why) {
    // A comment after the operands is the author's note: no warning, and no fix ever deletes it.
    std::string_view extra = trim_left(rest);
    extra = extra.substr(0, std::min(extra.find("/*"), extra.find("//")));
    while (!extra.empty() && is_scan_space(extra.back())) {
        extra.remove_suffix(1);
    }
    if (extra.empty()) {
        return;
    }
    Finding& finding = warn(extra, "ignored-text", quoted(extra) + " is ignored: " + std::string(why));
    // The text goes with the separators before it, unless they close the directive: "(a, b)" keeps
    // "(a)" and "(a); b" keeps "(a);".
    const std::size_t text_end = end_of(extra);
    std::size_t begin = end_of(rest) - rest.size();
    const std::string_view before = std::string_view(original_).substr(begin, text_end - extra.size() - begin);
    if (const std::size_t closing = before.find_last_of(");"); closing != std::string_view::npos) {
        begin += closing + 1;
    }
    delete_text(finding, begin, text_end);
}

}  // namespace morvcfg
