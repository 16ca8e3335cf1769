#include "checker/analysis/fix_gate.h"

#include <algorithm>

namespace morvcfg {
namespace {

// The digits of a text, in order.
std::string digits_of(std::string_view text) {
    std::string digits;
    std::copy_if(text.begin(), text.end(), std::back_inserter(digits), [](char c) { return c >= '0' && c <= '9'; });
    return digits;
}

}  // namespace

void FixGate::offer(Finding& finding, FixKind kind, std::span<const TextEdit> edits, std::string title,
                    const FixedPiece& piece) {
    if (edits.empty() || !piece.whole_line || c_.starts_in_comment()) {
        return;
    }
    if (!c_.certainly_read()) {
        // As a directive, the line would apply on every board: only its author can mend it. A
        // warning offered two fixes says so once.
        Note note = c_.conditional_note();
        if (std::none_of(finding.notes.begin(), finding.notes.end(), [&note](const Note& said) {
                return said.offset == note.offset && said.message == note.message;
            })) {
            finding.notes.push_back(std::move(note));
        }
        return;
    }
    const std::uint64_t line_start = layout_.file_offset(piece.start);
    Fix fix{kind, {}, std::move(title)};
    for (const TextEdit& edit : edits) {
        const std::string_view replaced = edit.begin >= piece.start && edit.end <= piece.start + piece.bytes.size()
                                              ? piece.bytes.substr(static_cast<std::size_t>(edit.begin - piece.start),
                                                                   static_cast<std::size_t>(edit.end - edit.begin))
                                              : std::string_view();
        if (edit.end < edit.begin || replaced.size() != edit.end - edit.begin) {
            return;  // outside the piece: nothing the gate can judge
        }
        if (kind == FixKind::Certain && digits_of(replaced) != digits_of(edit.text)) {
            return;
        }
        const auto [first, stop] = layout_.file_range(edit.begin, edit.end);
        // A CR before it on the line joined the editor's lines: the text after it would be
        // changed on a line of its own.
        if (layout_.carriage_return_within(line_start, stop)) {
            return;
        }
        fix.replacements.push_back({first, stop, edit.text});
    }
    finding.fix = std::move(fix);
    if (c_.in_possible_guard()) {
        guarded_.push_back(findings_.index_of(finding));
    }
}

void FixGate::finish() {
    if (c_.guard_held()) {
        return;
    }
    for (const std::size_t index : guarded_) {
        Finding& finding = findings_.at(index);
        finding.fix.reset();
        finding.notes.push_back(c_.guard_note());
    }
}

}  // namespace morvcfg
