#include "checker/analysis/check.h"

#include "checker/analysis/directive_analysis.h"
#include "checker/analysis/file_analysis.h"
#include "checker/analysis/file_layout.h"
#include "checker/analysis/ignores.h"
#include "checker/analysis/utf8.h"

namespace morvcfg {

CheckResult check(ByteSource& source, const IncludeOpener& open_include) {
    FindingList findings;
    FileLayout layout(findings);
    FileAnalysis file(findings);
    CReading c_reading(findings, layout, open_include);
    FixGate gate(findings, layout, c_reading);
    DirectiveAnalysis directives(findings, layout, file, c_reading, gate);
    IgnoreReader ignores;

    PieceReader reader(source, &layout);
    // The translator reads the text after a byte-order mark; so do places in the checker's messages.
    const bool byte_order_mark = reader.skip_byte_order_mark();
    if (byte_order_mark) {
        layout.skip_byte_order_mark();
    }
    std::span<char> piece;
    while (reader.next(piece)) {
        const std::string_view whole(piece.data(), piece.size());
        const Directive* row = match_directive(whole);
        const std::uint64_t start = layout.begin_piece(piece, row);
        c_reading.read(whole, start, row);
        ignores.read(whole, start, c_reading, layout);
        // A line of one piece: the only kind a fix may change without moving later pieces.
        // A line a Ctrl-Z cut goes on in the file with bytes no fix could account for.
        const bool whole_line = layout.piece_starts_line() &&
                                (whole.ends_with('\n') || (whole.size() < kMaxPiece && !layout.ended_by_ctrl_z()));
        if (row != nullptr) {
            directives.analyse(*row, piece, start, whole_line);
        } else if (layout.piece_starts_line()) {
            directives.check_lookalike(whole, start, whole_line);
        }
        layout.end_piece();
    }
    CheckResult result;
    if (reader.failed()) {
        result.read_failed = true;
        return result;
    }
    c_reading.finish();
    c_reading.take_line_ends(result.continued_lines, result.lines_ending_open);
    gate.finish();
    layout.finish(source);
    result.line_feeds = layout.take_line_feeds();
    file.finish(result);
    result.findings = findings.take();
    result.byte_order_mark = byte_order_mark ? kByteOrderMark.size() : 0;
    apply_ignores(result, ignores.take());
    return result;
}

}  // namespace morvcfg
