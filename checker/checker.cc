#include "checker/checker.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <optional>

#include "generator/text_writer.h"
#include "translator/directive_table.h"
#include "translator/scanner.h"

namespace morvcfg {

const std::array<WarningCategory, 15> kWarningCategories = {{
    {"operand", "an operand that was not read, or read only in part"},
    {"device-define", "a MORV_DEV_ADR directive that writes no define"},
    {"not-directive", "a line that looks like a directive but is ordinary text"},
    {"keyword-suffix", "a keyword followed by more characters, still taken as that directive"},
    {"ignored-text", "text after the operands that is ignored"},
    {"range", "address components above 255 or negative, and numbers that wrap"},
    {"subnet-mask", "a subnet mask whose ones are not contiguous"},
    {"subnet-move", "a gateway or name server that is moved into this host's subnet"},
    {"override", "a directive that overrides an earlier one"},
    {"pool-size", "a receive size that is negative or wraps"},
    {"duplicate-define", "two MORV_DEV_ADR directives with the same upper-cased name"},
    {"long-line", "a line longer than 255 characters, read in pieces"},
    {"lone-cr", "a carriage return without a line feed, which joins lines"},
    {"nul", "a NUL byte"},
    {"ctrl-z", "text after a Ctrl-Z, which is never read"},
}};

namespace {

// Bytes of a token shown in a message: control bytes escaped, the rest as they are.
std::string shown(std::string_view text) {
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            static constexpr char kHex[] = "0123456789abcdef";
            out += "\\x";
            out += kHex[byte >> 4U];
            out += kHex[byte & 0xFU];
        } else {
            out += c;
        }
    }
    return out;
}

std::string quoted(std::string_view text) {
    return "'" + shown(text) + "'";
}

std::string dotted(const Address& address) {
    std::string out;
    for (const std::uint32_t component : address) {
        if (!out.empty()) {
            out += '.';
        }
        out += std::to_string(component);
    }
    return out;
}

std::string_view trim_left(std::string_view text) {
    while (!text.empty() && is_scan_space(text.front())) {
        text.remove_prefix(1);
    }
    return text;
}

// The first blank-separated word of text.
std::string_view first_word(std::string_view text) {
    text = trim_left(text);
    std::size_t end = 0;
    while (end < text.size() && !is_scan_space(text[end])) {
        ++end;
    }
    return text.substr(0, end);
}

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

std::string upper_case(std::string_view text) {
    std::string out(text.size(), '\0');
    std::transform(text.begin(), text.end(), out.begin(), upper_ascii);
    return out;
}

// The record's address fields a directive can set, with the names the messages use.
struct AddressField {
    std::string_view name;
    Address NetConfig::*field;
};
constexpr std::array<AddressField, 8> kAddressFields = {{
    {"ThisIs", &NetConfig::ThisIs},
    {"SubNetMask", &NetConfig::SubNetMask},
    {"LocalHost", &NetConfig::LocalHost},
    {"GateWay", &NetConfig::GateWay},
    {"DomainNameServer", &NetConfig::DomainNameServer},
    {"NTPServer", &NetConfig::NTPServer},
    {"SMTPServer", &NetConfig::SMTPServer},
    {"POP3Server", &NetConfig::POP3Server},
}};

// cppcheck-suppress constParameter ; a pointer to member, not to an object
std::size_t field_index(Address NetConfig::*field) {
    for (std::size_t i = 0; i < kAddressFields.size(); ++i) {
        if (kAddressFields[i].field == field) {
            return i;
        }
    }
    return 0;
}

constexpr std::array<std::string_view, kPoolClassCount> kPoolNames = {"VERY_SMALL", "SMALL", "MIDDLE", "LARGE"};

// Where a setting was last given by a directive.
struct Origin {
    bool set = false;
    std::uint64_t offset = 0;
    std::string_view keyword;
};

// Follows one description file through the translator's own reader, dispatch and parsers and
// collects what they do without saying.
class Analysis final : public RawObserver {
public:
    Analysis() : defines_writer_(defines_sink_) {}

    void on_read(std::string_view raw) override;
    void on_piece(std::span<char> piece);
    void finish(ByteSource& source);
    CheckResult take() { return std::move(result_); }

private:
    // Offsets: the reader's pieces count the text without CRs; findings point into the file.
    [[nodiscard]] std::uint64_t file_offset(std::uint64_t text_offset) const;

    Finding& warn(std::uint64_t offset, std::string_view category, std::string message);
    // A directive as the checker looks at it: its row, the record before its parser ran, its
    // operands, and the places in its text that messages point at.
    struct DirectiveSeen {
        const Directive& row;
        const NetConfig& before;
        const ScanResult& operands;
        std::string keyword;
        std::string_view after_word;  // just after the keyword word
        std::string_view rest;        // where the scan stopped
        std::string_view last_end;    // just after the last field read
        std::string_view unread;      // the word where a missing or unreadable operand stands
        std::string_view define;      // what the parser wrote to the pass-through output
    };
    void analyse_directive(const Directive& row, std::span<char> piece, std::uint64_t start);
    void analyse_interface(const DirectiveSeen& d);
    void analyse_address(const DirectiveSeen& d);
    void analyse_pool(const DirectiveSeen& d);
    void analyse_device(const DirectiveSeen& d);
    void check_lookalike(std::string_view text, std::uint64_t start);
    void finish_line(std::uint64_t end);

    // Explains how one address operand was read into the named field; true if any of it was.
    bool check_address(std::string_view token, std::size_t field, const Address& before, const Address& after);
    void check_mask(std::string_view token, const Address& mask);
    // Which kind of number a range check looks at.
    enum class Number { Component, PoolValue };
    void check_range(const ScanField& field, Number kind, std::string_view what);
    void check_trailing(std::string_view rest, std::string_view why);
    void note_setting(Origin& origin, std::string_view setting, std::string_view old_value, std::string_view new_value);
    void check_derivation();
    void check_pools();

    // Offsets of the text being analysed, for positions inside it.
    std::string_view text_;
    std::uint64_t text_start_ = 0;
    std::uint64_t directive_offset_ = 0;
    std::string_view directive_keyword_;
    // Where a part of the text ends, as an index into it.
    [[nodiscard]] std::size_t end_of(std::string_view part) const {
        return static_cast<std::size_t>(part.data() - text_.data()) + part.size();
    }
    [[nodiscard]] std::uint64_t at(std::string_view part) const {
        return file_offset(text_start_ + static_cast<std::uint64_t>(part.data() - text_.data()));
    }

    CheckResult result_;
    NetConfig config_;
    StringSink defines_sink_;
    TextWriter defines_writer_;
    std::array<Origin, kAddressFields.size()> address_origins_{};
    std::array<Origin, kPoolClassCount> pool_origins_{};
    std::map<std::string, std::uint64_t, std::less<>> define_origins_;

    // The file as read.
    std::uint64_t raw_size_ = 0;
    std::vector<std::uint64_t> carriage_returns_;
    std::optional<std::uint64_t> cr_run_;  // first CR of a run whose next byte is still to come
    std::optional<std::uint64_t> ctrl_z_;
    std::uint64_t after_ctrl_z_ = 0;

    // The text as the translator sees it.
    std::uint64_t text_size_ = 0;
    bool at_line_start_ = true;
    std::uint64_t line_start_ = 0;
    bool previous_was_directive_ = false;
    std::vector<Note> split_notes_;
};

void Analysis::on_read(std::string_view raw) {
    if (ctrl_z_) {
        after_ctrl_z_ += raw.size();
        return;
    }
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const std::uint64_t offset = raw_size_ + i;
        const char c = raw[i];
        if (c == '\x1a') {
            ctrl_z_ = offset;
            after_ctrl_z_ = raw.size() - i - 1;
            cr_run_.reset();
            break;
        }
        if (c == '\r') {
            carriage_returns_.push_back(offset);
            if (!cr_run_) {
                cr_run_ = offset;
            }
            continue;
        }
        if (cr_run_ && c != '\n') {
            warn(*cr_run_, "lone-cr",
                 "carriage return without a line feed: it is dropped, and the text on both sides becomes one line");
        }
        cr_run_.reset();
        if (c == '\n') {
            result_.line_feeds.push_back(offset);
        }
    }
    raw_size_ += raw.size();
}

std::uint64_t Analysis::file_offset(std::uint64_t text_offset) const {
    // The k-th CR stands before text offset carriage_returns_[k] - k; count those at or before.
    std::size_t low = 0;
    std::size_t high = carriage_returns_.size();
    while (low < high) {
        const std::size_t mid = (low + high) / 2;
        if (carriage_returns_[mid] - mid <= text_offset) {
            low = mid + 1;
        } else {
            high = mid;
        }
    }
    return text_offset + low;
}

Finding& Analysis::warn(std::uint64_t offset, std::string_view category, std::string message) {
    result_.findings.push_back(Finding{offset, category, std::move(message), {}});
    return result_.findings.back();
}

void Analysis::on_piece(std::span<char> piece) {
    const std::uint64_t start = text_size_;
    text_size_ += piece.size();
    const bool starts_line = at_line_start_;
    at_line_start_ = piece.back() == '\n';
    if (starts_line) {
        line_start_ = start;
        split_notes_.clear();
    }

    const std::string_view whole(piece.data(), piece.size());
    const Directive* row = match_directive(whole);
    const std::size_t nul = whole.find('\0');
    if (nul != std::string_view::npos) {
        warn(file_offset(start + nul), "nul",
             row != nullptr ? "NUL byte: the directive's text ends here, and the rest of it is not read"
                            : "NUL byte in ordinary text: it is copied to the pass-through output as it is");
    }
    if (!starts_line) {
        if (row != nullptr) {
            split_notes_.push_back({file_offset(start), "this piece starts with " + std::string(row->keyword) +
                                                            ", so it is taken as a directive and not copied"});
        } else if (previous_was_directive_ && whole != "\n") {
            split_notes_.push_back({file_offset(start),
                                    "the directive ends before this point; the text from here on is ordinary and "
                                    "is copied to the pass-through output"});
        }
    }
    if (row != nullptr) {
        analyse_directive(*row, piece, start);
    } else if (starts_line) {
        check_lookalike(whole.substr(0, nul), start);
    }
    previous_was_directive_ = row != nullptr;
    if (at_line_start_) {
        finish_line(text_size_);
    }
}

void Analysis::finish_line(std::uint64_t end) {
    const std::uint64_t length = end - line_start_ - (at_line_start_ ? 1 : 0);
    if (length > kMaxPiece) {
        const std::uint64_t pieces = (length + kMaxPiece - 1) / kMaxPiece;
        Finding& finding =
            warn(file_offset(line_start_ + kMaxPiece), "long-line",
                 "line is " + std::to_string(length) + " characters long: it is read as " + std::to_string(pieces) +
                     " pieces of at most 255 characters, each handled as a line of its own");
        finding.notes = std::move(split_notes_);
    }
    split_notes_.clear();
}

void Analysis::check_lookalike(std::string_view text, std::uint64_t start) {
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
    const std::uint64_t offset = file_offset(start + indent);
    if (const Directive* row = match_directive(rest); row != nullptr) {
        warn(offset, "not-directive",
             "directive " + std::string(row->keyword) +
                 " is indented, so the line is ordinary text and is copied unchanged; a directive must start "
                 "in the first column");
        return;
    }
    const std::string upper = upper_case(rest);
    const std::string where = indent > 0 ? " (and indented)" : "";
    if (const Directive* row = match_directive(upper); row != nullptr) {
        warn(offset, "not-directive",
             quoted(word) + " is not in upper case" + where +
                 ", so the line is ordinary text and is copied unchanged; did you mean " + std::string(row->keyword) +
                 "?");
        return;
    }
    const std::string upper_word = upper_case(word);
    const Directive* nearest = &kDirectives.front();
    for (const Directive& row : kDirectives) {
        if (edit_distance(upper_word, row.keyword) < edit_distance(upper_word, nearest->keyword)) {
            nearest = &row;
        }
    }
    warn(offset, "not-directive",
         "unknown directive " + quoted(word) + where +
             ": the line is ordinary text and is copied unchanged; did you mean " + std::string(nearest->keyword) +
             "?");
}

void Analysis::analyse_directive(const Directive& row, std::span<char> piece, std::uint64_t start) {
    // The directive's text as its parser gets it: up to the first NUL, separators made blanks.
    std::string text(piece.data(), piece.size());
    text.resize(std::min(text.size(), text.find('\0')));
    normalise_separators(text);
    text_ = text;
    text_start_ = start;
    directive_offset_ = file_offset(start);
    directive_keyword_ = row.keyword;

    // The translator's own parser decides; the checker only compares before and after.
    const NetConfig before = config_;
    const std::size_t defines_before = defines_sink_.contents().size();
    row.parse(text_, config_, defines_writer_);
    (void)defines_writer_.flush();
    const std::string_view define = std::string_view(defines_sink_.contents()).substr(defines_before);

    const ScanResult operands = scan(text_, row.pattern);
    const std::string_view word = operands.fields[0].text;
    if (word.size() > row.keyword.size()) {
        const std::string_view tail = word.substr(row.keyword.size());
        warn(at(tail), "keyword-suffix",
             quoted(word) + " is taken as " + std::string(row.keyword) + "; the rest of the word, " + quoted(tail) +
                 ", is ignored");
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

void Analysis::analyse_interface(const DirectiveSeen& d) {
    const std::size_t this_is = field_index(&NetConfig::ThisIs);
    const std::size_t mask = field_index(&NetConfig::SubNetMask);
    if (d.operands.count < 2) {
        warn(at(d.after_word), "operand",
             d.keyword + " has no address operand: ThisIs keeps " + dotted(d.before.ThisIs) + " and SubNetMask keeps " +
                 dotted(d.before.SubNetMask));
        return;
    }
    check_address(d.operands.fields[1].text, this_is, d.before.ThisIs, config_.ThisIs);
    if (d.operands.count == 3) {
        if (check_address(d.operands.fields[2].text, mask, d.before.SubNetMask, config_.SubNetMask)) {
            check_mask(d.operands.fields[2].text, config_.SubNetMask);
        }
        check_trailing(d.rest, d.keyword + " takes an address and a mask");
    }
}

void Analysis::analyse_address(const DirectiveSeen& d) {
    const std::size_t field = field_index(d.row.address);
    if (d.operands.count < 2) {
        warn(at(d.after_word), "operand",
             d.keyword + " has no operand: " + std::string(kAddressFields[field].name) + " keeps " +
                 dotted(d.before.*d.row.address));
        return;
    }
    check_address(d.operands.fields[1].text, field, d.before.*d.row.address, config_.*d.row.address);
    check_trailing(d.rest, d.keyword + " takes one address");
}

void Analysis::analyse_pool(const DirectiveSeen& d) {
    const auto index = static_cast<std::size_t>(d.row.pool);
    const MemoryPool& old = d.before.pools[index];
    const std::string pool = "the " + std::string(kPoolNames[index]) + " pool";
    const std::string_view missing = d.unread;
    if (d.operands.count < 2) {
        warn(at(missing.empty() ? d.after_word : missing), "operand",
             (missing.empty() ? d.keyword + " has no operands"
                              : quoted(missing) + " is not a block size (a signed decimal number)") +
                 ": " + pool + " keeps block size " + std::to_string(old.block_size) + " and count " +
                 std::to_string(old.blocks));
        return;
    }
    check_range(d.operands.fields[1], Number::PoolValue, "block size");
    if (d.operands.count < 3) {
        warn(at(missing.empty() ? d.last_end : missing), "operand",
             (missing.empty() ? d.keyword + " has no block count"
                              : quoted(missing) + " is not a block count (a signed decimal number)") +
                 ": " + pool + " keeps count " + std::to_string(old.blocks));
    } else {
        check_range(d.operands.fields[2], Number::PoolValue, "block count");
        check_trailing(d.rest, d.keyword + " takes a block size and a count");
    }
    const MemoryPool& now = config_.pools[index];
    note_setting(pool_origins_[index], pool, std::to_string(old.block_size) + " x " + std::to_string(old.blocks),
                 std::to_string(now.block_size) + " x " + std::to_string(now.blocks));
}

void Analysis::analyse_device(const DirectiveSeen& d) {
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
        warn(value.empty() ? at(d.last_end) : at(value), "device-define", why + ": no define is written");
        return;
    }
    // The define as the parser wrote it: "#define NAME_START_ADDRESS 0x........\r\n".
    const std::string line(d.define.substr(0, d.define.find('\r')));
    const std::string name = line.substr(8, line.find(' ', 8) - 8);
    if (const auto first = define_origins_.find(name); first != define_origins_.end()) {
        Finding& finding = warn(at(d.operands.fields[1].text), "duplicate-define",
                                name + " is defined again: the second define redefines the first");
        finding.notes.push_back({first->second, "first defined here"});
    } else {
        define_origins_.emplace(name, at(d.operands.fields[1].text));
    }
    result_.defines.push_back(line.substr(8));
    const ScanField& value = d.operands.fields[2];
    if (value.overflowed || value.magnitude > 0xFFFFFFFFU) {
        warn(at(value.text), "range",
             "the address " + quoted(value.text) + " does not fit 32 bits: it is written as " +
                 line.substr(line.rfind(' ') + 1));
    }
    check_trailing(d.rest, d.keyword + " takes a device name and an address");
}

bool Analysis::check_address(std::string_view token, std::size_t field, const Address& before, const Address& after) {
    const std::string name(kAddressFields[field].name);
    const ScanResult quad = scan(token, kDottedQuad);
    const std::size_t stored = quad.stored();
    if (stored == 0) {
        warn(at(token), "operand", quoted(token) + " is not an address: " + name + " keeps " + dotted(before));
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
        warn(at(token.substr(quad.stop)), "operand",
             quoted(token) + " gives only " + std::to_string(stored) + " of the 4 components of " + name + ": " + kept +
                 ", so " + name + " is " + dotted(after));
    } else if (quad.stop < token.size()) {
        warn(at(token.substr(quad.stop)), "ignored-text",
             quoted(token.substr(quad.stop)) + " after the address " + dotted(after) + " is ignored");
    }
    for (std::size_t i = 0; i < stored; ++i) {
        check_range(quad.fields[i], Number::Component, "component " + std::to_string(i + 1) + " of " + name);
    }
    note_setting(address_origins_[field], name, dotted(before), dotted(after));
    return true;
}

void Analysis::check_range(const ScanField& field, Number kind, std::string_view what) {
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
        warn(at(field.text), "range", std::string(what) + " " + quoted(field.text) + " " + why);
    }
}

void Analysis::check_mask(std::string_view token, const Address& mask) {
    std::uint32_t bits = 0;
    for (const std::uint32_t component : mask) {
        if (component > 255) {
            return;  // reported as out of range
        }
        bits = (bits << 8U) | component;
    }
    const std::uint32_t hosts = ~bits;
    if ((hosts & (hosts + 1)) != 0) {
        warn(at(token), "subnet-mask",
             "subnet mask " + dotted(mask) + " is not contiguous: its one bits do not all come before its zero bits");
    }
}

void Analysis::check_trailing(std::string_view rest, std::string_view why) {
    const std::string_view extra = trim_left(rest);
    if (!extra.empty()) {
        std::string_view shown_text = extra;
        while (!shown_text.empty() && is_scan_space(shown_text.back())) {
            shown_text.remove_suffix(1);
        }
        warn(at(extra), "ignored-text", quoted(shown_text) + " is ignored: " + std::string(why));
    }
}

void Analysis::note_setting(Origin& origin, std::string_view setting, std::string_view old_value,
                            std::string_view new_value) {
    if (origin.set) {
        const std::string change = old_value == new_value
                                       ? ", to the same value " + std::string(new_value)
                                       : ": " + std::string(old_value) + " becomes " + std::string(new_value);
        Finding& finding = warn(directive_offset_, "override",
                                std::string(directive_keyword_) + " sets " + std::string(setting) + " again" + change);
        finding.notes.push_back({origin.offset, "set earlier here by " + std::string(origin.keyword)});
    }
    origin = Origin{true, directive_offset_, directive_keyword_};
}

void Analysis::check_derivation() {
    NetConfig derived = config_;
    result_.network = derive(derived);
    const Origin& this_is = address_origins_[field_index(&NetConfig::ThisIs)];
    const Origin& mask = address_origins_[field_index(&NetConfig::SubNetMask)];
    const Origin& subnet = mask.set && (!this_is.set || mask.offset > this_is.offset) ? mask : this_is;
    const std::string subnet_text = dotted(result_.network) + "/" + dotted(config_.SubNetMask);
    const struct {
        Address NetConfig::*field;
        const char* what;
    } moved[] = {{&NetConfig::GateWay, "gateway"}, {&NetConfig::DomainNameServer, "name server"}};
    for (const auto& item : moved) {
        if (derived.*item.field == config_.*item.field) {
            continue;
        }
        const Origin& origin = address_origins_[field_index(item.field)];
        const std::uint64_t offset = origin.set ? origin.offset : subnet.offset;
        Finding& finding = warn(offset, "subnet-move",
                                std::string(origin.set ? "the " : "the default ") + item.what + " " +
                                    dotted(config_.*item.field) + " is outside this host's subnet " + subnet_text +
                                    ": it is written as " + dotted(derived.*item.field));
        if (subnet.set && subnet.offset != offset) {
            finding.notes.push_back({subnet.offset, "this host's subnet is set here"});
        }
    }
    result_.config = derived;
}

void Analysis::check_pools() {
    for (std::size_t i = 0; i < config_.pools.size(); ++i) {
        const MemoryPool& pool = config_.pools[i];
        if (!pool_origins_[i].set) {
            continue;
        }
        const std::int64_t product = std::int64_t{pool.block_size} * std::int64_t{pool.blocks};
        const std::int32_t size = pool.receive_size();
        // "ETH0_RCV_<class>_SZ is <size> x <count> = ..."
        std::string message = "ETH0_RCV_" + std::string(kPoolNames[i]) + "_SZ is ";
        const std::string sum = std::to_string(pool.block_size) + " x " + std::to_string(pool.blocks) + " = ";
        if (product != size) {
            message.append(sum)
                .append(std::to_string(product))
                .append(", which does not fit 32 bits and is written as ");
            warn(pool_origins_[i].offset, "pool-size", message.append(std::to_string(size)));
        } else if (size < 0) {
            message.append("negative: ").append(sum).append(std::to_string(size));
            warn(pool_origins_[i].offset, "pool-size", std::move(message));
        }
    }
}

void Analysis::finish(ByteSource& source) {
    if (!at_line_start_) {
        finish_line(text_size_);
    }
    if (ctrl_z_) {
        // Count what the translator never reads.
        char buffer[4096];
        for (std::ptrdiff_t count = 0; (count = source.read(buffer, sizeof buffer)) > 0;) {
            after_ctrl_z_ += static_cast<std::uint64_t>(count);
        }
        if (after_ctrl_z_ > 0) {
            warn(*ctrl_z_, "ctrl-z",
                 "Ctrl-Z ends the input: the " + std::to_string(after_ctrl_z_) + " bytes after it are never read");
        }
    }
    check_derivation();
    check_pools();
    std::stable_sort(result_.findings.begin(), result_.findings.end(),
                     [](const Finding& a, const Finding& b) { return a.offset < b.offset; });
}

// Line and column, both from 1, of a file offset.
std::pair<std::uint64_t, std::uint64_t> line_and_column(const CheckResult& result, std::uint64_t offset) {
    const auto feeds = result.line_feeds.begin();
    const auto after = std::lower_bound(feeds, result.line_feeds.end(), offset);
    const auto line = static_cast<std::uint64_t>(after - feeds) + 1;
    const std::uint64_t line_start = after == feeds ? 0 : *(after - 1) + 1;
    return {line, offset - line_start + 1};
}

std::string position(std::string_view file, const CheckResult& result, std::uint64_t offset) {
    const auto [line, column] = line_and_column(result, offset);
    return std::string(file) + ":" + std::to_string(line) + ":" + std::to_string(column) + ": ";
}

}  // namespace

CheckResult check(ByteSource& source) {
    Analysis analysis;
    PieceReader reader(source, &analysis);
    std::span<char> piece;
    while (reader.next(piece)) {
        analysis.on_piece(piece);
    }
    if (reader.failed()) {
        CheckResult failed;
        failed.read_failed = true;
        return failed;
    }
    analysis.finish(source);
    return analysis.take();
}

std::size_t write_diagnostics(std::string& out, std::string_view file, const CheckResult& result,
                              const std::set<std::string, std::less<>>& disabled) {
    std::size_t warnings = 0;
    for (const Finding& finding : result.findings) {
        if (disabled.contains(finding.category)) {
            continue;
        }
        ++warnings;
        out.append(position(file, result, finding.offset))
            .append("warning: ")
            .append(finding.message)
            .append(" [-W")
            .append(finding.category)
            .append("]\n");
        for (const Note& note : finding.notes) {
            out.append(position(file, result, note.offset)).append("note: ").append(note.message).append("\n");
        }
    }
    return warnings;
}

void write_summary(std::string& out, std::string_view file, const CheckResult& result) {
    const NetConfig& config = result.config;
    out += std::string(file) + ": the configuration morvcfg generates\n";
    const auto row = [&out](std::string_view name, const std::string& value) {
        out += "  " + std::string(name) + std::string(name.size() < 24 ? 24 - name.size() : 1, ' ') + value + "\n";
    };
    const struct {
        std::string_view name;
        const Address* value;
    } arrays[] = {
        {"ThisIs", &config.ThisIs},          {"SubNetMask", &config.SubNetMask},
        {"NetWorkAddress", &result.network}, {"LocalHost", &config.LocalHost},
        {"GateWay", &config.GateWay},        {"DomainNameServer", &config.DomainNameServer},
        {"BroadCast", &config.BroadCast},    {"SubNetBroadCast", &config.SubNetBroadCast},
        {"NTPServer", &config.NTPServer},    {"SMTPServer", &config.SMTPServer},
        {"POP3Server", &config.POP3Server},
    };
    for (const auto& array : arrays) {
        row(array.name, dotted(*array.value));
    }
    for (std::size_t i = 0; i < config.pools.size(); ++i) {
        const MemoryPool& pool = config.pools[i];
        row("ETH0_RCV_" + std::string(kPoolNames[i]) + "_SZ", std::to_string(pool.receive_size()) + " (" +
                                                                  std::to_string(pool.block_size) + " x " +
                                                                  std::to_string(pool.blocks) + ")");
    }
    for (const std::string& define : result.defines) {
        const std::size_t space = define.find(' ');
        row(std::string_view(define).substr(0, space), define.substr(space + 1));
    }
}

}  // namespace morvcfg
