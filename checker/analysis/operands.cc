// A directive's operands as its parser reads them, and what the firmware then gets.
#include <algorithm>
#include <cctype>
#include <vector>

#include "checker/analysis/c_characters.h"
#include "checker/analysis/directive_analysis.h"
#include "checker/analysis/messages.h"
#include "checker/analysis/operand_text.h"
#include "checker/analysis/utf8.h"

namespace morvcfg {

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
    file_.pool_set(index, directive_offset_, d.row.keyword, old);
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
    file_.address_set(field, directive_offset_, d.row.keyword, before, std::move(given), std::move(note));
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

}  // namespace morvcfg
