#pragma once

// note [the fix gate]: every fix the analysis makes is offered here, and only here does a fix
// become a finding's. The rule of note [certain fixes and guesses] is kept in this one place: a
// fix changes only a whole line that C certainly reads (not in a comment, nor in a conditional
// block the build decides, nor across a CR the text mode drops), and a certain fix never removes
// or changes a digit.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "checker/analysis/c_reading.h"
#include "checker/analysis/file_layout.h"
#include "checker/analysis/findings.h"

namespace morvcfg {

// A change of the text [begin, end), offsets in the text the translator reads.
struct TextEdit {
    std::uint64_t begin = 0;
    std::uint64_t end = 0;
    std::string text;
};

// The piece a fix would change, as the file has it: its bytes up to any NUL (with the separators
// the translator turns into blanks), where it starts in the text, and whether it is its whole
// line (text after a NUL, or a line cut into pieces, would move under a fix).
struct FixedPiece {
    std::string_view bytes;
    std::uint64_t start = 0;
    bool whole_line = false;
};

class FixGate {
public:
    FixGate(FindingList& findings, const FileLayout& layout, const CReading& c)
        : findings_(findings), layout_(layout), c_(c) {}

    // Gives `finding` the fix made of `edits` to the piece last read, when the rule allows it. A
    // line in a conditional block the build decides gets a note that says why there is no fix.
    void offer(Finding& finding, FixKind kind, std::span<const TextEdit> edits, std::string title,
               const FixedPiece& piece);

    // After the last piece (and CReading::finish()): the fixes made in the block of an include
    // guard that turned out to be none are taken back, each with the note that says why.
    void finish();

private:
    FindingList& findings_;
    const FileLayout& layout_;
    const CReading& c_;
    // The findings whose fixes stand in a possible include guard's block, by index.
    std::vector<std::size_t> guarded_;
};

}  // namespace morvcfg
