#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "checker/analysis/c_reading.h"
#include "checker/analysis/file_analysis.h"
#include "checker/analysis/file_layout.h"
#include "checker/analysis/findings.h"
#include "checker/analysis/fix_gate.h"
#include "generator/text_writer.h"
#include "translator/directive_table.h"
#include "translator/scanner.h"

namespace morvcfg {

// What each directive does: its operands as the translator's own parser reads them (operands.cc),
// what it then sets, ignores or does not write, the text after them (trailing_text.cc); and lines
// that look like directives but are ordinary text (lookalike_lines.cc). The directive being read is
// held once: its text and place here, what its parser made of it in a DirectiveSeen.
class DirectiveAnalysis {
public:
    DirectiveAnalysis(FindingList& findings, const FileLayout& layout, FileAnalysis& file, const CReading& c,
                      FixGate& gate)
        : findings_(findings), layout_(layout), file_(file), c_(c), gate_(gate), defines_writer_(defines_sink_) {}

    // A directive piece that starts at `start` in the text; `whole_line` when the piece is its whole
    // line, which fixes may then change.
    void analyse(const Directive& row, std::span<const char> piece, std::uint64_t start, bool whole_line);
    // An ordinary piece that starts a line at `start` in the text, as C has just read it.
    void check_lookalike(std::string_view piece, std::uint64_t start, bool whole_line);

private:
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
    void analyse_interface(const DirectiveSeen& d);
    void analyse_address(const DirectiveSeen& d);
    void analyse_pool(const DirectiveSeen& d);
    void analyse_device(const DirectiveSeen& d);

    // Explains how one address operand was read into a field (an index into kAddressFields);
    // true if any of it was.
    bool check_address(const DirectiveSeen& d, std::string_view token, std::size_t field, const Address& before);
    // The guess for a prefix length after this host's address ("10.1.2.3/16"), if one reading is
    // evident: the mask it means written as the mask operand, or taken out where the line gives
    // that mask already.
    void guess_prefix_length(Finding& finding, const DirectiveSeen& d, std::string_view extra);
    void check_mask(std::string_view token, const Address& mask);
    // Which kind of number a range check looks at.
    enum class Number { Component, PoolValue };
    void check_range(const ScanField& field, Number kind, std::string_view what);
    // Text after the operands, from `rest` on.
    void check_trailing(const DirectiveSeen& d, std::string_view rest);
    // The guess for hexadecimal digits written apart ("0x4000 4400", "0x4000_4400"): one value.
    void guess_joined_address(Finding& finding, const DirectiveSeen& d, std::string_view extra, std::size_t code_end);
    // The guess for operands glued to the keyword ("MORV_POP3CFG:10.1.2.110"): the call form.
    void guess_call_form(Finding& finding, const DirectiveSeen& d, std::string_view tail);
    // What the firmware gets from the directive, in the generated files' names ("SMTPServer is
    // 10.20.40.25", "ETH0_SMALL_BLOCK_SIZE is 2 and ETH0_SMALL_BLOCKS keeps 0").
    [[nodiscard]] std::string outcome(const DirectiveSeen& d) const;
    // Directives after the first on its line, from `first` to `code_end` (indexes into the text),
    // the operands read ending at `keep`; `extra` is where they stand in the text.
    void ignored_directives(std::size_t keep, std::size_t first, std::size_t code_end, std::string_view extra);
    // The define of a device name `token` (in the text) that writes `define`, which C may reject.
    void check_define_name(std::string_view token, std::string_view define);
    // A keyword called after other text on an ordinary line (up to any NUL).
    void check_keyword_after_text(std::string_view text, std::uint64_t start, bool whole_line);
    // A keyword that only blanks and characters that show as nothing (a byte-order mark, a
    // no-break space) keep from the first column, `lead` bytes of the line; true if there is one.
    bool check_invisible_lead(std::string_view text, std::size_t lead, std::uint64_t start, bool whole_line);
    // An ordinary line that looks like a directive: the piece, its indent and the MORV_ word after
    // it.
    struct Lookalike {
        FixedPiece piece;
        std::size_t indent;
        std::string_view word;
    };
    // The fix of a lookalike, offered: the indent goes, and the word's first `length` characters
    // become `keyword`.
    void offer_lookalike_fix(Finding& finding, const Lookalike& line, FixKind kind, std::size_t length,
                             std::string_view keyword);
    // The code after a part of the directive's text: up to any comment, without blanks around it.
    [[nodiscard]] std::string_view code_after(std::string_view part) const;
    // Where a part of the directive's text ends, as an index into it.
    [[nodiscard]] std::size_t end_of(std::string_view part) const {
        return static_cast<std::size_t>(part.data() - text_.data()) + part.size();
    }
    // The offset in the file of a part of the directive's text.
    [[nodiscard]] std::uint64_t at(std::string_view part) const {
        return layout_.file_offset(text_start_ + static_cast<std::uint64_t>(part.data() - text_.data()));
    }
    // True when a part of the directive's text starts a comment after which the line holds no
    // code: the author's note, not an operand.
    [[nodiscard]] bool trailing_comment(std::string_view part) const;
    // Marks a value of the address field `field` a message names as what the firmware gets
    // (note [values the firmware gets]).
    [[nodiscard]] std::string claim(std::size_t field) const {
        return FileAnalysis::claim_address(field, directive_offset_);
    }
    // Warns about a part of the directive's text; an empty part is a place.
    Finding& warn(std::string_view part, Category category, std::string message);
    // A part of the directive's text quoted as the file has it (with its separators).
    [[nodiscard]] std::string quote(std::string_view part) const;
    // The fix made of `edits` of the directive's text (indexes into it), offered through the gate.
    void set_fix(Finding& finding, FixKind kind, std::span<const TextEdit> edits, std::string title);
    // A certain fix that deletes the text [begin, end).
    void delete_text(Finding& finding, std::size_t begin, std::size_t end, std::string title);

    FindingList& findings_;
    const FileLayout& layout_;
    FileAnalysis& file_;
    const CReading& c_;
    FixGate& gate_;
    StringSink defines_sink_;
    TextWriter defines_writer_;

    // The directive being analysed: its text as the parser reads it, and as it stands in the file
    // (with its separators); the same length.
    std::string_view text_;
    std::string_view original_;
    std::uint64_t text_start_ = 0;
    std::uint64_t directive_offset_ = 0;
    // True when the directive is its whole line, which fixes may then change (as the gate allows).
    bool whole_line_ = false;
};

}  // namespace morvcfg
