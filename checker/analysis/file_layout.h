#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "checker/analysis/findings.h"
#include "translator/directive_table.h"
#include "translator/text_reader.h"

namespace morvcfg {

// Where things are in a description file as read: its line feeds, its CRs (to turn places in the
// text the translator reads into places in the file), and what the text mode does there without
// saying: lone CRs joining lines, NUL bytes, text after a Ctrl-Z, lines cut into pieces.
class FileLayout final : public RawObserver {
public:
    explicit FileLayout(FindingList& findings) : findings_(findings) {}

    // The file starts with a byte-order mark, which the text does not hold.
    void skip_byte_order_mark() { mark_size_ = kByteOrderMark.size(); }
    // Bytes as they were read, before the text mode changed them.
    void on_read(std::string_view raw) override;
    // A piece before its directive, if `row` is one, is analysed: where it stands in its line, and
    // any NUL in it. Returns the piece's offset in the text.
    std::uint64_t begin_piece(std::span<const char> piece, const Directive* row);
    // The same piece after its analysis: a line that ends here is checked for its length.
    void end_piece();
    // True when the piece last begun starts a line.
    [[nodiscard]] bool piece_starts_line() const { return piece_starts_line_; }
    // The offset in the file of an offset in the text.
    [[nodiscard]] std::uint64_t file_offset(std::uint64_t text_offset) const;
    // The bytes in the file that hold the text [begin, end): from its first character to just after
    // its last, so that a CR the text mode dropped after it is not included. An empty range is the
    // place just after the character before it: at a line's end, before its CR LF, as with a LF.
    [[nodiscard]] std::pair<std::uint64_t, std::uint64_t> file_range(std::uint64_t begin, std::uint64_t end) const {
        if (end <= begin) {
            const std::uint64_t place = begin > 0 ? file_offset(begin - 1) + 1 : file_offset(0);
            return {place, place};
        }
        return {file_offset(begin), file_offset(end - 1) + 1};
    }
    // True when a CR stands in the file bytes [begin, end): there the text mode joined two lines
    // the editor shows apart, and no fix may reach across.
    [[nodiscard]] bool carriage_return_within(std::uint64_t begin, std::uint64_t end) const {
        const auto first = std::lower_bound(carriage_returns_.begin(), carriage_returns_.end(), begin);
        return first != carriage_returns_.end() && *first < end;
    }
    // True when the lines read so far end in CR LF, as the tool writes them, or no line has ended
    // yet; false when they end in a bare LF.
    [[nodiscard]] bool crlf_line_ends() const { return line_feeds_.empty() || crlf_line_ends_; }
    // True when a Ctrl-Z ended the text: the last line of the text goes on in the file after it.
    [[nodiscard]] bool ended_by_ctrl_z() const { return ctrl_z_.has_value(); }
    // True when the file is UTF-16: it starts with a UTF-16 byte-order mark.
    [[nodiscard]] bool utf16() const { return utf16_; }
    // After the last piece: the bytes from `rest` on, after a Ctrl-Z, are counted.
    void finish(ByteSource& rest);
    [[nodiscard]] std::vector<std::uint64_t> take_line_feeds() { return std::move(line_feeds_); }

private:
    void finish_line(std::uint64_t end);

    FindingList& findings_;

    // The file as read.
    std::uint64_t mark_size_ = 0;
    std::uint64_t raw_size_ = 0;
    std::vector<std::uint64_t> line_feeds_;
    std::vector<std::uint64_t> carriage_returns_;
    std::optional<std::uint64_t> cr_run_;  // first CR of a run whose next byte is still to come
    std::optional<std::uint64_t> ctrl_z_;
    std::uint64_t after_ctrl_z_ = 0;
    bool crlf_line_ends_ = false;
    std::string first_bytes_;
    bool utf16_ = false;

    // The text as the translator sees it.
    std::uint64_t text_size_ = 0;
    bool at_line_start_ = true;
    bool piece_starts_line_ = true;
    std::uint64_t line_start_ = 0;
    bool previous_was_directive_ = false;
    std::vector<Note> split_notes_;
};

}  // namespace morvcfg
